# One CTest test per GoogleTest suite, named <program>.<Suite>: a suite's cases run in one process,
# so a program's start (and the window tests' QApplication, a sanitizer's set-up and leak check) is
# paid once per suite rather than once per case. A failing case is named in the test's output.
# The suites are listed when ctest starts, from the program itself, and listed again whenever the
# program is newer than the list.

set(_VSR_TEST_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# vsr_add_test_suites(<target> [PROPERTIES <name> <value>...]): the properties go to every suite.
function(vsr_add_test_suites TARGET)
  cmake_parse_arguments(S "" "" "PROPERTIES" ${ARGN})
  set(_base ${CMAKE_CURRENT_BINARY_DIR}/${TARGET}_suites)
  # Each property word kept whole through the generated file, whatever it holds.
  set(_props "")
  foreach(_word IN LISTS S_PROPERTIES)
    string(APPEND _props " [==[${_word}]==]")
  endforeach()
  set(_exe $<TARGET_FILE:${TARGET}>)
  file(GENERATE OUTPUT ${_base}_include.cmake CONTENT
"if(EXISTS [==[${_exe}]==])
  if(NOT EXISTS [==[${_base}.cmake]==] OR NOT [==[${_base}.cmake]==] IS_NEWER_THAN [==[${_exe}]==])
    include([==[${_VSR_TEST_SUITES_SCRIPT}]==])
    vsr_write_test_suites([==[${TARGET}]==] [==[${_exe}]==] [==[${_base}.cmake]==] ${_props})
  endif()
  include([==[${_base}.cmake]==])
else()
  add_test(${TARGET}_NOT_BUILT ${TARGET}_NOT_BUILT)
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_base}_include.cmake)
endfunction()

# vsr_write_test_suites(<name> <program> <out-file> <properties...>): run by ctest.
function(vsr_write_test_suites NAME EXE OUT)
  set(_props "")
  foreach(_word IN LISTS ARGN)
    string(APPEND _props " [==[${_word}]==]")
  endforeach()
  execute_process(COMMAND ${EXE} --gtest_list_tests OUTPUT_VARIABLE _listing ERROR_VARIABLE _errors
                  RESULT_VARIABLE _rc TIMEOUT 60)
  if(NOT _rc EQUAL 0)
    # Kept as a failing test that shows why, rather than the program's tests silently missing.
    file(WRITE ${OUT} "add_test([==[${NAME}.list]==] [==[${EXE}]==] --gtest_list_tests)\n")
    message(WARNING "${EXE} --gtest_list_tests failed (${_rc}): ${_errors}")
    return()
  endif()
  set(_content "")
  string(REPLACE "\n" ";" _lines "${_listing}")
  foreach(_line IN LISTS _lines)
    # A suite line is "Suite." or "Prefix/Suite/0.  # TypeParam = ..."; its cases are indented.
    if(_line MATCHES "^([^ #][^ ]*)\\.( |$)")
      set(_suite ${CMAKE_MATCH_1})
      string(APPEND _content "add_test([==[${NAME}.${_suite}]==] [==[${EXE}]==] [==[--gtest_filter=${_suite}.*]==])\n")
      if(_props)
        string(APPEND _content "set_tests_properties([==[${NAME}.${_suite}]==] PROPERTIES${_props})\n")
      endif()
    endif()
  endforeach()
  file(WRITE ${OUT} "${_content}")
endfunction()
