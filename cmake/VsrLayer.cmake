# vsr_layer(NAME <lib> DIR <dir> [DEPS <libs...>])
# One static library per source folder; the folder's .cpp files are picked up
# automatically so adding a file never needs an edit here.
function(vsr_layer)
  cmake_parse_arguments(L "" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${L_DIR}/*.cpp)
  file(GLOB _hdrs CONFIGURE_DEPENDS ${L_DIR}/*.h)
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

# vsr_test(NAME <exe> DIR <dir> DEPS <libs...>)
# One GoogleTest program per test folder; every test runs with HOME and the
# XDG folders pointed into a fresh temporary folder (see tests/support).
function(vsr_test)
  cmake_parse_arguments(T "" "NAME;DIR" "DEPS;ENV" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${T_NAME} ${_srcs})
  target_link_libraries(${T_NAME} PRIVATE ${T_DEPS} vsr_testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "${T_ENV}" TIMEOUT 300)
endfunction()
