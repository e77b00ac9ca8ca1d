# One CTest test per GoogleTest suite, named <program>.<Suite>: a suite's cases run in one process,
# so a program's start (and the window tests' QApplication, a sanitizer's set-up and leak check) is
# paid once per suite rather than once per case. A failing case is named in the test's output.
# The suites are listed when ctest starts, from the program itself, and listed again whenever the
# program is newer than the list.

set(_VSR_TEST_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# Suites long enough to hold up the end of a `ctest -j` run, as <program>.<Suite>=<seconds>, the
# seconds they take in the slowest build that runs them (a sanitizer's). With no timings of its own
# yet (a fresh build folder), ctest starts the costliest first instead of leaving one to run alone
# at the end; `:cases` makes each case of the suite a test of its own, so that the cases share the
# processors rather than run in a row within one process.
set(VSR_LONG_SUITES
    test_engine.MemoryRelease=200:cases
    test_index.IndexAgreement=65:cases
    test_engine.ModifyLarge=50:cases
    test_vsr_search.KillDuringModification=35:cases
    test_engine.DryRunAhead=27:cases
    test_regexpr.VxRegexRobustness=22
    test_engine.SplicedModification=17
    test_vsr_search.VsrSearchDryRun=15
    test_regexpr.Text/ShortcutsDifferential=15
    test_vsr_search.VsrSearchArchives=14
    test_engine.SplicedDiff=13
    test_engine.GitignoreOracle=11
    test_durable.SafeWriter=11
    test_engine.ModifyPreview=10
    test_app.CommandLineRunTest=10
    test_regexpr.Text/AutomatonDifferential=10
    test_engine.WalkArchives=10
    test_engine.RegExprLiteralSkips=9
    test_engine.SearchLargeFiles=9)

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
  if(NOT EXISTS [==[${_base}.cmake]==] OR NOT [==[${_base}.cmake]==] IS_NEWER_THAN [==[${_exe}]==]
     OR [==[${_VSR_TEST_SUITES_SCRIPT}]==] IS_NEWER_THAN [==[${_base}.cmake]==])
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
  execute_process(COMMAND ${EXE} --gtest_list_tests OUTPUT_VARIABLE _listing ERROR_VARIABLE _errors
                  RESULT_VARIABLE _rc TIMEOUT 60)
  if(NOT _rc EQUAL 0)
    # Kept as a failing test that shows why, rather than the program's tests silently missing.
    file(WRITE ${OUT} "add_test([==[${NAME}.list]==] [==[${EXE}]==] --gtest_list_tests)\n")
    message(WARNING "${EXE} --gtest_list_tests failed (${_rc}): ${_errors}")
    return()
  endif()
  set(_content "")
  set(_suite "")
  set(_split OFF)
  string(REPLACE "\n" ";" _lines "${_listing}")
  foreach(_line IN LISTS _lines)
    # A suite line is "Suite." or "Prefix/Suite/0.  # TypeParam = ..."; its cases are indented.
    if(_line MATCHES "^([^ #][^ ]*)\\.( |$)")
      set(_suite ${CMAKE_MATCH_1})
      set(_cost "")
      set(_split OFF)
      foreach(_long IN LISTS VSR_LONG_SUITES)
        if(_long MATCHES "^([^=]+)=([0-9]+)(:cases)?$" AND CMAKE_MATCH_1 STREQUAL "${NAME}.${_suite}")
          set(_cost ${CMAKE_MATCH_2})
          if(CMAKE_MATCH_3)
            set(_split ON)
          endif()
        endif()
      endforeach()
      if(NOT _split)
        _vsr_add_suite_test(_content "${NAME}.${_suite}" "${EXE}" "${_suite}.*" "${_cost}" ${ARGN})
      endif()
    elseif(_split AND _line MATCHES "^  ([^ #]+)")
      _vsr_add_suite_test(_content "${NAME}.${_suite}.${CMAKE_MATCH_1}" "${EXE}" "${_suite}.${CMAKE_MATCH_1}"
                          "${_cost}" ${ARGN})
    endif()
  endforeach()
  file(WRITE ${OUT} "${_content}")
endfunction()

# _vsr_add_suite_test(<content-var> <test> <program> <filter> <cost> <properties...>)
function(_vsr_add_suite_test CONTENT TEST EXE FILTER COST)
  set(_props "")
  foreach(_word IN LISTS ARGN)
    string(APPEND _props " [==[${_word}]==]")
  endforeach()
  if(COST)
    string(APPEND _props " COST ${COST}")
  endif()
  set(_text "${${CONTENT}}add_test([==[${TEST}]==] [==[${EXE}]==] [==[--gtest_filter=${FILTER}]==])\n")
  if(_props)
    string(APPEND _text "set_tests_properties([==[${TEST}]==] PROPERTIES${_props})\n")
  endif()
  set(${CONTENT} "${_text}" PARENT_SCOPE)
endfunction()
