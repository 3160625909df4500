# Writes the manual pages of the velmora tool from its --help: velmora.1
# for the tool, velmora-COMMAND.1 for each command its --help lists.  Run in
# script mode by the build (cmake/toolset_install.cmake):
#   cmake -DVELMORA=BINARY -DOUTPUT=FOLDER -DVERSION=X.Y.Z -P man_pages.cmake
# Each page holds the command's --help as it is, so the pages say what the
# program says.

foreach(required VELMORA OUTPUT VERSION)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "man_pages.cmake: ${required} is not set")
  endif()
endforeach()

function(help_of out)
  execute_process(COMMAND "${VELMORA}" ${ARGN} --help OUTPUT_VARIABLE help
                  ERROR_VARIABLE error RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "velmora ${ARGN} --help failed (${rc}): ${error}")
  endif()
  # CLI11 may name the program by the path it was started with.
  string(REPLACE "${VELMORA}" "velmora" help "${help}")
  string(REGEX REPLACE "\n+$" "" help "${help}")
  set(${out} "${help}\n" PARENT_SCOPE)
endfunction()

# Text for roff: backslashes printed as such, no line taken for a request.
function(roff_escape out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(write_page page summary help)
  string(TOUPPER "${page}" title)
  string(REPLACE "-" " " command "${page}")
  string(REGEX MATCH "Usage: [^\n]*" usage "${help}")
  string(REGEX REPLACE "^Usage: [^ ]*velmora( [a-z]+)? ?" "" usage "${usage}")
  roff_escape(summary "${summary}")
  roff_escape(usage "${usage}")
  roff_escape(help "${help}")
  set(see_also "")
  if(NOT page STREQUAL "velmora")
    set(see_also ".SH SEE ALSO\n.BR velmora (1)\n")
  endif()
  file(WRITE "${OUTPUT}/${page}.1"
       ".TH \"${title}\" 1 \"\" \"velmora ${VERSION}\" \"User Commands\"\n"
       ".SH NAME\n${page} \\- ${summary}\n"
       ".SH SYNOPSIS\n.B ${command}\n${usage}\n"
       ".SH DESCRIPTION\n.nf\n${help}.fi\n"
       "${see_also}")
endfunction()

file(MAKE_DIRECTORY "${OUTPUT}")
file(GLOB old "${OUTPUT}/*.1")
if(old)
  file(REMOVE ${old})
endif()
help_of(help)
# The commands: the lines of the subcommands section, "  NAME  summary".
string(TOLOWER "${help}" lower)
string(FIND "${lower}" "subcommands:\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "velmora --help lists no commands:\n${help}")
endif()
string(SUBSTRING "${help}" ${at} -1 section)
string(REGEX MATCHALL "\n  [a-z]+ +[^\n]+" lines "${section}")
set(pages 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\n  ([a-z]+) +(.*)$" "\\1;\\2" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 summary)
  help_of(command_help ${name})
  write_page("velmora-${name}" "${summary}" "${command_help}")
  math(EXPR pages "${pages} + 1")
endforeach()
if(pages EQUAL 0)
  message(FATAL_ERROR "no command found in velmora --help:\n${help}")
endif()
string(REGEX MATCH "^[^\n]*" first_line "${help}")
string(REGEX REPLACE "^velmora - " "" summary "${first_line}")
string(REGEX REPLACE "\\.$" "" summary "${summary}")
write_page("velmora" "${summary}" "${help}")
