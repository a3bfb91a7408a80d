# The tests of a Windows build run under Wine: every test program, and the
# discovery of the GoogleTest cases after the build, is started through
# wine-run.sh, which keeps a Wine prefix of this build's own (made on first
# use) and silences Wine's debug channels. Without Wine the programs are built
# and the tests are not registered for running.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()
find_program(H33_WINE NAMES wine)
if(NOT H33_WINE)
  message(STATUS "No Wine: the Windows tests are built, not run")
  return()
endif()
set(H33_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
