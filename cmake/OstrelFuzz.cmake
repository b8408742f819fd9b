# ostrel_add_fuzzer(<name> SOURCES <files> LIBS <targets>)
# A libFuzzer target over plain parsing code, built only by clang for the
# build machine (configure with CC=clang CXX=clang++). The test command runs
# each one briefly; a crash or a failed check is a failed test. Code to be
# explored should be among SOURCES, which get coverage instrumentation.
set(OSTREL_FUZZ_SECONDS 10 CACHE STRING "How long the test command runs each fuzz target")

function(ostrel_add_fuzzer name)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  ostrel_defaults(${name})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  set(corpus ${CMAKE_BINARY_DIR}/fuzz/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${OSTREL_FUZZ_SECONDS} -max_len=4096 -timeout=10 ${corpus}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
