# The layers of src/ as one static library each (docs/layers.md draws them).
#
# A layer's headers are linked, as symbolic links at their paths below src/,
# into an include folder of its own in the build tree; src/ itself is on no
# include path.  A layer compiles against its own folder and, through the
# layers it links, theirs.  So an #include of a layer that is not below
# fails to compile ("No such file or directory"), and so does one of
# another layer's private headers.

set(VELMORA_SRC ${PROJECT_SOURCE_DIR}/src)
set(VELMORA_LAYERS_DIR ${CMAKE_BINARY_DIR}/layers)

# Files below src/ that the patterns match (relative paths); a pattern's
# folder is searched with its subfolders.
function(velmora_glob out)
  set(files)
  foreach(pattern IN LISTS ARGN)
    file(GLOB_RECURSE matched LIST_DIRECTORIES false RELATIVE ${VELMORA_SRC} CONFIGURE_DEPENDS
         ${VELMORA_SRC}/${pattern})
    list(APPEND files ${matched})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# velmora_layer(NAME
#   FILES pattern...            its .cpp and .h files, relative to src/
#   [EXCLUDE pattern...]        files FILES matches that belong to another layer
#   [PUBLIC_HEADERS pattern...] when given, the only headers the layers above
#                               see; the others are the layer's own (its
#                               folder layers/NAME/private, which the tests
#                               may add)
#   [LINKS layer...])           the layers it uses, each below it
# makes the library velmora_NAME.
function(velmora_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 L "" "" "FILES;EXCLUDE;PUBLIC_HEADERS;LINKS")
  velmora_glob(files ${L_FILES})
  velmora_glob(excluded ${L_EXCLUDE})
  if(excluded)
    list(REMOVE_ITEM files ${excluded})
  endif()
  velmora_glob(public_headers ${L_PUBLIC_HEADERS})

  set(root ${VELMORA_LAYERS_DIR}/${name})
  file(REMOVE_RECURSE ${root})  # links of headers since moved or deleted
  file(MAKE_DIRECTORY ${root}/public ${root}/private)
  set(sources)
  foreach(file IN LISTS files)
    if(file MATCHES "\\.cpp$")
      list(APPEND sources ${VELMORA_SRC}/${file})
    elseif(file MATCHES "\\.h$")
      set(side public)
      if(L_PUBLIC_HEADERS AND NOT file IN_LIST public_headers)
        set(side private)
      endif()
      get_filename_component(folder ${root}/${side}/${file} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${VELMORA_SRC}/${file} ${root}/${side}/${file} SYMBOLIC)
    endif()
  endforeach()

  add_library(velmora_${name} STATIC ${sources})
  target_include_directories(velmora_${name} PUBLIC ${root}/public PRIVATE ${root}/private)
  list(TRANSFORM L_LINKS PREPEND velmora_)
  target_link_libraries(velmora_${name} PUBLIC ${L_LINKS})
  set_property(GLOBAL APPEND PROPERTY VELMORA_LAYER_FILES ${files})
endfunction()

# Fails the configuration when a source file or header below src/ belongs to
# no layer or to two; patterns name files this build leaves out.
function(velmora_check_layers)
  cmake_parse_arguments(PARSE_ARGV 0 C "" "" "IGNORE")
  file(GLOB_RECURSE all RELATIVE ${VELMORA_SRC} CONFIGURE_DEPENDS
       ${VELMORA_SRC}/*.cpp ${VELMORA_SRC}/*.h)
  velmora_glob(ignored ${C_IGNORE})
  get_property(assigned GLOBAL PROPERTY VELMORA_LAYER_FILES)
  set(problems)
  set(seen)
  foreach(file IN LISTS assigned)
    if(file IN_LIST seen)
      list(APPEND problems "src/${file} is in two layers")
    endif()
    list(APPEND seen ${file})
  endforeach()
  foreach(file IN LISTS all)
    if(NOT file IN_LIST ignored AND NOT file IN_LIST assigned)
      list(APPEND problems "src/${file} is in no layer")
    endif()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Every file below src/ belongs to exactly one layer (cmake/layers.cmake):\n  ${text}")
  endif()
endfunction()
