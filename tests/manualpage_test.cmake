# cmake -DPROGRAM=h33 -DPAGE=h33.1 -P manualpage_test.cmake
#
# A manual page documents exactly the options the program's own help lists:
# the program's under ".SH ПАРАМЕТРЫ", each command's under ".SS COMMAND".
# An option added, renamed or dropped without its page fails here.

function(help_text variable)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help
                  OUTPUT_VARIABLE help RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help: exit code ${code}")
  endif()
  set(${variable} "${help}" PARENT_SCOPE)
endfunction()

# The long options of PROGRAM ARGN --help.
function(help_options variable)
  help_text(help ${ARGN})
  string(REGEX MATCHALL "--[a-z][-a-z]*" options "${help}")
  if(ARGN)
    list(REMOVE_ITEM options --help)  # documented once, for the program
  endif()
  list(REMOVE_DUPLICATES options)
  list(SORT options)
  set(${variable} "${options}" PARENT_SCOPE)
endfunction()

# The long options the page's section under HEADING describes: the tags of
# its .TP paragraphs, up to the next section. Roff writes a hyphen as \-.
function(page_options variable heading)
  string(FIND "${page}" "\n${heading}\n" start)
  if(start EQUAL -1)
    message(SEND_ERROR "${PAGE}: no section \"${heading}\"")
    return()
  endif()
  string(LENGTH "\n${heading}" skip)
  math(EXPR start "${start} + ${skip}")
  string(SUBSTRING "${page}" ${start} -1 section)
  string(REGEX REPLACE "\n\\.S[HS] .*" "" section "${section}")
  string(REGEX MATCHALL "\n\\.TP\n[^\n]*" tags "${section}")
  string(REPLACE "\\-" "-" tags "${tags}")
  string(REGEX MATCHALL "--[a-z][-a-z]*" options "${tags}")
  list(REMOVE_DUPLICATES options)
  list(SORT options)
  set(${variable} "${options}" PARENT_SCOPE)
endfunction()

function(expect_same_options heading)
  help_options(expected ${ARGN})
  page_options(documented "${heading}")
  if(NOT documented STREQUAL expected)
    message(SEND_ERROR "${PAGE}, ${heading}: documents [${documented}], "
                       "while the help lists [${expected}]")
  endif()
endfunction()

file(READ "${PAGE}" page)
expect_same_options(".SH ПАРАМЕТРЫ")

help_text(program_help)
string(FIND "${program_help}" "Команды:" listing)
set(commands "")
if(NOT listing EQUAL -1)
  string(SUBSTRING "${program_help}" ${listing} -1 listing)
  string(REGEX MATCHALL "\n  [a-z]+" commands "${listing}")
  string(REGEX REPLACE "\n  " "" commands "${commands}")
endif()
foreach(command IN LISTS commands)
  expect_same_options(".SS ${command}" ${command})
endforeach()

string(REGEX MATCHALL "\n\\.SS [^\n]*" sections "${page}")
string(REGEX REPLACE "\n\\.SS " "" sections "${sections}")
list(REMOVE_ITEM sections ${commands})
if(sections)
  message(SEND_ERROR "${PAGE}: sections of commands the program does not have: ${sections}")
endif()
