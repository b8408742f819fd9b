# Native fuzzing with libFuzzer (Debian's clang), under ASan and UBSan.
#
#   ostrel_add_fuzzer(<name> SOURCES <files>... LIBS <targets>...)
#
# The sources define LLVMFuzzerTestOneInput. What it builds depends on the
# configuration:
#   fuzz preset (clang, OSTREL_FUZZ): fuzz_<name>, a libFuzzer program, and a
#     test fuzz.<name> that runs it for OSTREL_FUZZ_SECONDS from its seeds;
#     scripts/fuzz.sh runs every target for longer.
#   native preset (any compiler): fuzz_replay_<name>, the same code driven by
#     a plain main, and a test fuzz_replay.<name> that feeds it every file in
#     tests/fuzz/seeds/<name>/ and tests/fuzz/regressions/<name>/. An input
#     that once crashed goes into regressions/ and stays a regular test.
#   Windows: nothing.
set(OSTREL_FUZZ_SECONDS 5 CACHE STRING "How long the test run fuzzes each target")
set(OSTREL_FUZZ_DATA_DIR ${PROJECT_SOURCE_DIR}/tests/fuzz)

function(ostrel_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  set(seeds ${OSTREL_FUZZ_DATA_DIR}/seeds/${name})
  set(regressions ${OSTREL_FUZZ_DATA_DIR}/regressions/${name})
  if(OSTREL_FUZZ)
    add_executable(fuzz_${name} ${F_SOURCES})
    ostrel_defaults(fuzz_${name})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    # New inputs go to a corpus folder in the build; the seeds and
    # regressions in the repository are only read.
    set(corpus ${CMAKE_BINARY_DIR}/fuzz/corpus/${name})
    file(MAKE_DIRECTORY ${corpus} ${seeds} ${regressions})
    add_test(NAME fuzz.${name}
      COMMAND fuzz_${name} -max_total_time=${OSTREL_FUZZ_SECONDS} -seed=1 -print_final_stats=1
              -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/crash-${name}- ${corpus} ${seeds} ${regressions})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
  else()
    add_executable(fuzz_replay_${name} ${F_SOURCES} ${OSTREL_FUZZ_DATA_DIR}/replay_main.cpp)
    ostrel_defaults(fuzz_replay_${name})
    target_link_libraries(fuzz_replay_${name} PRIVATE ${F_LIBS})
    set_target_properties(fuzz_replay_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME fuzz_replay.${name} COMMAND fuzz_replay_${name} ${seeds} ${regressions})
    set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
  endif()
endfunction()
