# Test executables. Windows tests run under Wine through tools/wine-env, which
# keeps one prefix, one Xvfb display and one wineserver per build folder.
if(NOT OSTREL_BUILD_TESTS)
  return()
endif()
enable_testing()
include(GoogleTest)

set(OSTREL_TEST_DIR ${CMAKE_BINARY_DIR}/tests)
set(OSTREL_WINE_STATE ${CMAKE_BINARY_DIR}/wine)

if(WIN32)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_SOURCE_DIR}/tools/wine-env;run;${OSTREL_WINE_STATE}
      CACHE STRING "" FORCE)
  # A plain `ctest` also ends the environment it started.
  add_test(NAME wine_env_start COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-env start ${OSTREL_WINE_STATE})
  add_test(NAME wine_env_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-env stop ${OSTREL_WINE_STATE})
  set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine)
else()
  if(NOT TARGET GTest::gtest_main)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # GoogleTest's own build defines the GTest:: targets.
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endif()

# ostrel_add_gtest(<name> SOURCES ... [LIBS ...] [DLLS <file>...]
#                  [PROPERTIES <ctest properties>...] [TIMEOUT <s>])
# DLLS are copied beside the test executable before its tests are listed.
function(ostrel_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;DLLS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  ostrel_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${OSTREL_TEST_DIR})
  foreach(dll IN LISTS T_DLLS)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll} ${OSTREL_TEST_DIR}/
      VERBATIM)
  endforeach()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  set(props TIMEOUT ${T_TIMEOUT} ${T_PROPERTIES})
  if(WIN32)
    list(APPEND props FIXTURES_REQUIRED wine)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${OSTREL_TEST_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()
