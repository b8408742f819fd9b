option(OSTREL_BUILD_TESTS "Build the tests" ON)
option(OSTREL_SANITIZE "Native builds: address and undefined-behaviour sanitizers" OFF)
option(OSTREL_FUZZ "Native clang builds: libFuzzer targets (the fuzz preset)" OFF)
# scripts/setup.sh and tools/wine-env take the same folder from the
# environment.
if(DEFINED ENV{OSTREL_DEPS})
  set(_ostrel_deps_default $ENV{OSTREL_DEPS})
else()
  set(_ostrel_deps_default ${CMAKE_SOURCE_DIR}/.deps)
endif()
set(OSTREL_DEPS ${_ostrel_deps_default} CACHE PATH "Cache folder of the built dependencies (scripts/setup.sh)")

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
endif()

# Warnings and platform defaults for every target of the project.
function(ostrel_defaults target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers>)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE
      UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    # The C and C++ runtimes and winpthread go inside every binary.
    target_link_options(${target} PRIVATE -static)
  elseif(OSTREL_SANITIZE)
    # Every finding ends the process with an error, so a test that triggers
    # one fails instead of passing with a report in its log.
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all)
  endif()
  if(OSTREL_FUZZ AND NOT WIN32)
    # Coverage for libFuzzer in everything a fuzz target links.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
