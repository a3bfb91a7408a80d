# cmake -DSOURCE_DIR=src -P layering_test.cmake
#
# The layers of src/ include downwards only: data flows from the program's
# text (format) through the planner and the methods to what the window and
# the command share, and every include names its layer ("format/frame.h").
# An include that runs up a layer, or two headers that include each other,
# fail here, so that the build keeps the layering and not only care.

cmake_minimum_required(VERSION 3.20)

# The layers each layer may include besides itself.
set(below_format "")
set(below_gcode format)
set(below_planning format)
set(below_methods format planning)
set(below_picture format planning)
set(below_app format gcode planning methods picture)
set(below_plot format planning picture)
set(below_cli format gcode planning methods picture app plot)
set(below_ui format gcode planning methods picture app plot)

file(GLOB layers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(faults "")
foreach(layer IN LISTS layers)
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/${layer})
    continue()
  endif()
  if(NOT DEFINED below_${layer})
    string(APPEND faults "\n  ${layer}/: a layer this test does not know; give it its place")
    continue()
  endif()
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"")
    foreach(include IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${include}")
      if(NOT included MATCHES "^([a-z]+)/")
        string(APPEND faults "\n  ${file}: \"${included}\" does not name its layer")
        continue()
      endif()
      set(to ${CMAKE_MATCH_1})
      if(NOT to STREQUAL layer AND NOT to IN_LIST below_${layer})
        string(APPEND faults "\n  ${file}: includes ${included}, a layer above or beside ${layer}/")
      endif()
      if(file MATCHES "\\.h$")
        list(APPEND edges "${file}>${included}")
      endif()
    endforeach()
  endforeach()
endforeach()

foreach(edge IN LISTS edges)
  string(REPLACE ">" ";" ends "${edge}")
  list(GET ends 0 from)
  list(GET ends 1 to)
  if("${to}>${from}" IN_LIST edges AND from STRLESS to)
    string(APPEND faults "\n  ${from} and ${to} include each other")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "includes against the layering:${faults}")
endif()
