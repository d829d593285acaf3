# GoogleTest from Debian's sources, built in each tree (so the MinGW tree gets its own copy).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(_dm_saved_flags ${CMAKE_CXX_FLAGS})
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# dm_add_test(name SOURCES... LIBS...): a GoogleTest program registered with CTest. Host tests
# are registered case by case; Windows tests, which start Wine, as one CTest test per program.
function(dm_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(DIALMOOR_WIN32)
    # Tests link the plain half of the fat LTO objects, next to GoogleTest's plain code.
    target_link_options(${name} PRIVATE -fno-use-linker-plugin)
    add_test(NAME win32.${name} COMMAND ${name})
    set_tests_properties(win32.${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENV}")
  else()
    gtest_discover_tests(${name} TEST_PREFIX host. DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENV}")
  endif()
endfunction()
