# GoogleTest from Debian's sources, built with each target's own compiler.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)  # gtest then uses Win32 threads
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
enable_testing()

# add_native_test(NAME src... [LIBS lib...]): one gtest executable, one ctest.
function(add_native_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# add_wine_test(NAME src... [LIBS lib...] [GUI]): a Windows gtest executable run
# under Wine through the cross-compiling emulator. The watchdog main ends a hung
# test with the test's name printed. GUI tests share one desktop and one
# foreground window, so they run one at a time.
function(add_wine_test name)
  cmake_parse_arguments(T "GUI" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} win_test_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    ENVIRONMENT "TEST_ARTIFACTS=${CMAKE_BINARY_DIR}/test-artifacts")
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
endfunction()
