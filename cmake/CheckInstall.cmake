# Installs the build into a scratch prefix and checks that what the help pages and the README
# point users at is there: the program, vsr-search, the help pages and the manual page.
# Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_PROGRAM=ON|OFF.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()
set(expected bin/vsr-search share/man/man1/vsr-search.1)
if(WITH_PROGRAM)
  list(APPEND expected bin/vantixsr share/vantixsr/help/Intro.htm share/man/man1/vantixsr.1)
endif()
foreach(f ${expected})
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/vsr-search" --help RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "--dry-run")
  message(FATAL_ERROR "the installed vsr-search does not run: ${status}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
