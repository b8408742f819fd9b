# The C example on docs/hardware-block.md is the file the tests build, word
# for word.
#   cmake -DPAGE=<md> -DEXAMPLE=<c file> -P doc_example_check.cmake
file(READ ${PAGE} page)
file(READ ${EXAMPLE} example)
string(FIND "${page}" "```c\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${PAGE}: no ```c block")
endif()
math(EXPR start "${start} + 5")
string(SUBSTRING "${page}" ${start} -1 rest)
string(FIND "${rest}" "```" end)
string(SUBSTRING "${rest}" 0 ${end} shown)
if(NOT shown STREQUAL example)
  message(FATAL_ERROR "the example on ${PAGE} differs from ${EXAMPLE}")
endif()
