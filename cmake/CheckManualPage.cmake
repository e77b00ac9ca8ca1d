# Checks a manual page against its program: mandoc finds nothing to say about it (when mandoc
# is installed), and the options of its SYNOPSIS, of its OPTIONS and of the program's --help
# are the same.
# Run with -DPAGE=doc/NAME.1 -DPROGRAM=path/to/program [-DMANDOC=path/to/mandoc]
# [-DIGNORE=words] (words of --help that only look like switches, such as another tool's).
if(MANDOC)
  execute_process(COMMAND "${MANDOC}" -T lint "${PAGE}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "mandoc -T lint ${PAGE}:\n${out}${err}")
  endif()
endif()

# The switches in a text: a run of dashes that begins a word, then the name (and "=" where the
# switch takes its value there). In the page a switch's dashes are written "\-".
function(switches_of text out)
  string(REGEX REPLACE "\\\\f[BIRP]" "" text "${text}")
  # Brackets and semicolons would change how CMake splits the list.
  string(REGEX REPLACE "[][;]" " " text "${text}")
  string(REPLACE "\\-" "-" text "${text}")
  string(REGEX MATCHALL "(^|[^-A-Za-z0-9])--?[a-z][a-z0-9-]*=?" found "${text}")
  set(names "")
  foreach(f ${found})
    string(REGEX REPLACE "^[^-]" "" f "${f}")
    list(APPEND names "${f}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

file(READ "${PAGE}" page)
# Only what the page writes as a switch ("\-"): prose keeps its plain hyphens.
string(REGEX MATCH "\n\\.SH SYNOPSIS\n.*\n\\.SH DESCRIPTION" synopsis "${page}")
string(REGEX MATCH "\n\\.SH OPTIONS\n.*\n\\.SH EXIT STATUS" options "${page}")
if(synopsis STREQUAL "" OR options STREQUAL "")
  message(FATAL_ERROR "${PAGE}: no SYNOPSIS or OPTIONS section")
endif()
foreach(section synopsis options)
  string(REGEX MATCHALL "(^|[^A-Za-z0-9])\\\\-(\\\\-)?[a-z][a-z0-9]*(\\\\-[a-z0-9]+)*=?" marked "${${section}}")
  string(REPLACE ";" " " marked "${marked}")
  switches_of(" ${marked}" ${section}_switches)
endforeach()
execute_process(COMMAND "${PROGRAM}" --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
switches_of("${help} --help --version" help_switches)
# A number written with a minus ("-1:-1") is no switch.
foreach(list synopsis_switches options_switches help_switches)
  list(FILTER ${list} EXCLUDE REGEX "^-[0-9]")
  foreach(word ${IGNORE})
    list(REMOVE_ITEM ${list} "${word}")
  endforeach()
endforeach()
if(NOT synopsis_switches STREQUAL options_switches)
  message(FATAL_ERROR "${PAGE}: SYNOPSIS has ${synopsis_switches}\nbut OPTIONS has ${options_switches}")
endif()
if(NOT options_switches STREQUAL help_switches)
  message(FATAL_ERROR "${PAGE}: OPTIONS has ${options_switches}\nbut ${PROGRAM} --help has ${help_switches}")
endif()
