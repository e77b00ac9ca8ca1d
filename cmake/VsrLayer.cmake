# vsr_layer(NAME <lib> DIR <dir> [SUBDIRS <folders...>] [DEPS <libs...>])
# One static library per source folder (and the subfolders named); the .cpp files are picked
# up automatically so adding a file never needs an edit here.
function(vsr_layer)
  cmake_parse_arguments(L "" "NAME;DIR" "SUBDIRS;DEPS" ${ARGN})
  set(_src_globs ${L_DIR}/*.cpp)
  set(_hdr_globs ${L_DIR}/*.h)
  foreach(_sub ${L_SUBDIRS})
    list(APPEND _src_globs ${L_DIR}/${_sub}/*.cpp)
    list(APPEND _hdr_globs ${L_DIR}/${_sub}/*.h)
  endforeach()
  file(GLOB _srcs CONFIGURE_DEPENDS ${_src_globs})
  file(GLOB _hdrs CONFIGURE_DEPENDS ${_hdr_globs})
  if(_srcs)
    add_library(${L_NAME} STATIC ${_srcs} ${_hdrs})
    target_include_directories(${L_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${L_NAME} PUBLIC ${L_DEPS})
  else()
    add_library(${L_NAME} INTERFACE)
    target_include_directories(${L_NAME} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${L_NAME} INTERFACE ${L_DEPS})
  endif()
endfunction()

# vsr_precompile(<target> <headers...>): the headers nearly every file of the target includes,
# parsed once per target instead of once per file (or per unity batch). Writing the precompiled
# header costs about as much as parsing its headers four times over, so a target compiled in fewer
# than four batches parses them in each batch instead.
function(vsr_precompile TARGET)
  get_target_property(_sources ${TARGET} SOURCES)
  list(FILTER _sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH _sources _count)
  math(EXPR _batched "3 * ${CMAKE_UNITY_BUILD_BATCH_SIZE}")
  if(VSR_PCH AND (NOT VSR_UNITY OR _count GREATER _batched))
    target_precompile_headers(${TARGET} PRIVATE ${ARGN})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # Lets ccache hash the compile of a file that uses gcc's precompiled header.
      target_compile_options(${TARGET} PRIVATE -fpch-preprocess)
    endif()
  endif()
endfunction()

# What every test file includes; the window's tests add Qt's.
set(VSR_TEST_PCH <gtest/gtest.h> <gmock/gmock.h> <algorithm> <filesystem> <functional> <memory> <string>
    <string_view> <vector>)
set(VSR_QT_WIDGETS_PCH <QApplication> <QWidget> <QLabel> <QPushButton> <QCheckBox> <QComboBox> <QLineEdit>
    <QPlainTextEdit> <QTreeView> <QTabWidget> <QButtonGroup> <QRadioButton> <QBoxLayout> <QTimer> <QString>)

include(VsrTestSuites)

# vsr_test(NAME <exe> DIR <dir> DEPS <libs...> [ENV <variables...>] [PCH <extra headers...>])
# One GoogleTest program per test folder; every test runs with HOME and the
# XDG folders pointed into a fresh temporary folder (see tests/support).
# With ThreadSanitizer, the program holds only the test files that run threads (VsrThreads.cmake),
# and its tests carry the label `threads`.
function(vsr_test)
  cmake_parse_arguments(T "" "NAME;DIR" "DEPS;ENV;PCH" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp)
  set(_labels "")
  if(VSR_TSAN)
    set(_threaded "")
    foreach(_src ${_srcs})
      vsr_test_runs_threads(_yes ${_src})
      if(_yes)
        list(APPEND _threaded ${_src})
      endif()
    endforeach()
    set(_srcs ${_threaded})
    set(_labels LABELS threads)
  endif()
  if(NOT _srcs)
    return()
  endif()
  add_executable(${T_NAME} ${_srcs})
  target_link_libraries(${T_NAME} PRIVATE ${T_DEPS} vsr_testsupport GTest::gtest GTest::gmock)
  vsr_precompile(${T_NAME} ${VSR_TEST_PCH} ${T_PCH})
  if(VSR_TSAN)
    add_dependencies(threaded_tests ${T_NAME})
  endif()
  # An empty value would drop out of the list and shift every property after it onto the wrong name.
  set(_properties TIMEOUT 300 ${_labels})
  if(T_ENV)
    list(APPEND _properties ENVIRONMENT "${T_ENV}")
  endif()
  vsr_add_test_suites(${T_NAME} PROPERTIES ${_properties})
endfunction()
