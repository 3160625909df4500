# The installable toolset of a host build: `cmake --install` puts velmora in
# bin/, SETUP.EXE in share/velmora/ (where `velmora pack` looks for it) and
# the documentation in share/doc/velmora/; CPack makes a Debian package of
# the same.
#
# SETUP.EXE is built by this tree with the MinGW toolchain, in a Windows
# build of its own below this one (VELMORA_BUILD_SETUP, on when the
# toolchain is there), and copied beside the velmora binary so that a pack
# from the build tree finds it too.  VELMORA_SETUP_EXE names a SETUP.EXE
# built elsewhere instead.
include(GNUInstallDirs)

find_program(VELMORA_MINGW_CXX i686-w64-mingw32-g++-posix)
if(VELMORA_MINGW_CXX)
  set(velmora_setup_default ON)
else()
  set(velmora_setup_default OFF)
endif()
option(VELMORA_BUILD_SETUP "Build SETUP.EXE with the MinGW toolchain, to install it with velmora"
       ${velmora_setup_default})
set(VELMORA_SETUP_EXE "" CACHE FILEPATH "A SETUP.EXE to install with velmora instead of building one")

install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The examples the README's commands use (examples/demo/manifest.toml).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian-copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME copyright)

# A manual page for the tool and one for each of its commands, written from
# their --help whenever velmora is built (cmake/man_pages.cmake).
set(velmora_man_dir ${CMAKE_BINARY_DIR}/man)
add_custom_command(
  OUTPUT ${velmora_man_dir}/velmora.1
  COMMAND ${CMAKE_COMMAND} -DVELMORA=$<TARGET_FILE:velmora> -DOUTPUT=${velmora_man_dir}
          -DVERSION=${VELMORA_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/man_pages.cmake
  DEPENDS velmora ${CMAKE_SOURCE_DIR}/cmake/man_pages.cmake
  COMMENT "Writing the manual pages of velmora")
add_custom_target(velmora_man_pages ALL DEPENDS ${velmora_man_dir}/velmora.1)
install(DIRECTORY ${velmora_man_dir}/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        FILES_MATCHING PATTERN "*.1")

if(VELMORA_SETUP_EXE)
  install(FILES ${VELMORA_SETUP_EXE} DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora RENAME SETUP.EXE)
  if(TARGET velmora_tests)
    target_compile_definitions(velmora_tests PRIVATE VELMORA_SETUP_EXE="${VELMORA_SETUP_EXE}")
  endif()
elseif(VELMORA_BUILD_SETUP)
  include(ExternalProject)
  set(setup_exe ${CMAKE_BINARY_DIR}/tools/SETUP.EXE)
  ExternalProject_Add(setup_exe
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/setup-exe
    CMAKE_ARGS -G ${CMAKE_GENERATOR} -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=OFF
               -DVELMORA_TESTS=OFF
               -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target setup
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/tools/SETUP.EXE ${setup_exe}
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${setup_exe})
  add_dependencies(velmora setup_exe)
  if(TARGET velmora_tests)
    # The unit tests read the resources linked into it.
    add_dependencies(velmora_tests setup_exe)
    target_compile_definitions(velmora_tests PRIVATE VELMORA_SETUP_EXE="${setup_exe}")
  endif()
  install(FILES ${setup_exe} DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${VELMORA_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Build, inspect and test Velmora Setup installation packages")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@tarnwick.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's programs without their symbols, whatever the build type.
set(CPACK_STRIP_FILES ON)
include(CPack)
