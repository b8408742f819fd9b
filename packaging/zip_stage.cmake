# Zips the staged package with its files at the archive's root, so that
# unpacking "here" gives Ostrel.exe beside its libraries and skins.
#   cmake -DSTAGE=<folder> -DZIP=<file.zip> -P zip_stage.cmake
file(GLOB entries RELATIVE ${STAGE} ${STAGE}/*)
list(SORT entries)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${entries}
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zipping ${STAGE} failed: ${result}")
endif()
