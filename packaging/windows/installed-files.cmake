# Writes installed-files.nsh, the uninstaller's list of what the installer
# puts in place: a Delete for every file of the staging folder and an RMDir
# (only if empty) for every folder, deepest first. Nothing else in the
# installation folder is removed: a user's own file there stays.
#   cmake -DSTAGING=DIR -DOUTPUT=FILE -P installed-files.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGING} ${STAGING}/*)
file(GLOB_RECURSE folders LIST_DIRECTORIES true RELATIVE ${STAGING} ${STAGING}/*)
list(REMOVE_ITEM folders ${files})
list(SORT folders)
list(REVERSE folders)
set(lines "")
foreach(path IN LISTS files)
  string(REPLACE "/" "\\" path "${path}")
  string(APPEND lines "  Delete \"$INSTDIR\\${path}\"\n")
endforeach()
foreach(path IN LISTS folders)
  string(REPLACE "/" "\\" path "${path}")
  string(APPEND lines "  RMDir \"$INSTDIR\\${path}\"\n")
endforeach()
file(WRITE ${OUTPUT} "${lines}")
