# Writes the uninstaller's list of installed files from the staged package:
# the uninstaller removes exactly what the installer put down, never a whole
# folder that may hold the user's own files.
#   cmake -DSTAGE=<folder> -DOUT=<file.nsh> -P uninstall_list.cmake
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(text "# Generated from the staged package.\n")
set(dirs)
foreach(f IN LISTS files)
  string(REPLACE "/" "\\" win ${f})
  string(APPEND text "Delete \"$INSTDIR\\${win}\"\n")
  get_filename_component(d ${f} DIRECTORY)
  while(d)
    list(APPEND dirs ${d})
    get_filename_component(d ${d} DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES dirs)
# Deepest first, so each folder is empty when its turn comes.
list(SORT dirs)
list(REVERSE dirs)
foreach(d IN LISTS dirs)
  string(REPLACE "/" "\\" win ${d})
  string(APPEND text "RMDir \"$INSTDIR\\${win}\"\n")
endforeach()
file(WRITE ${OUT} "${text}")
