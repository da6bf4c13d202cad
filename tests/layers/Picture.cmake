# cmake -DDOC=docs/architecture.md -DLINES=<build>/core-layers/link-lines.txt -P Picture.cmake
# Fails unless the picture in the document names, for every core library,
# the same folders as its link line in CMakeLists.txt.

# "folder: used..." or "folder -> used..." as "folder:used,used" with the
# used folders sorted, so the order of names does not count.
function(normalise line out)
  string(REGEX REPLACE "(->|:)" " " line "${line}")
  string(STRIP "${line}" line)
  string(REGEX REPLACE " +" ";" words "${line}")
  list(POP_FRONT words folder)
  list(SORT words)
  list(JOIN words "," used)
  set(${out} "${folder}:${used}" PARENT_SCOPE)
endfunction()

# The document as one string: its lines hold semicolons and brackets, which
# a CMake list would not keep apart.
file(READ ${DOC} doc)
string(REPLACE "\r" "" doc "${doc}")  # a checkout with Windows line ends
set(marker "<!-- The core's link lines: tests/layers checks them against CMakeLists.txt. -->")
string(FIND "${doc}" "${marker}" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${DOC}: no picture of the layers (the line ${marker})")
endif()
string(SUBSTRING "${doc}" ${start} -1 doc)
string(REGEX MATCH "\n```\n([^`]*)```" block "${doc}")
if(NOT block)
  message(FATAL_ERROR "${DOC}: no block of link lines after ${marker}")
endif()
string(REPLACE "\n" ";" block_lines "${CMAKE_MATCH_1}")
set(picture "")
foreach(line ${block_lines})
  if(NOT line STREQUAL "")
    normalise("${line}" entry)
    list(APPEND picture "${entry}")
  endif()
endforeach()

file(STRINGS ${LINES} lines)
set(linked "")
foreach(line ${lines})
  normalise("${line}" entry)
  list(APPEND linked "${entry}")
endforeach()

list(SORT picture)
list(SORT linked)
if(NOT picture STREQUAL linked)
  string(REPLACE ";" "\n  " p "${picture}")
  string(REPLACE ";" "\n  " l "${linked}")
  message(FATAL_ERROR "The picture in ${DOC} and the link lines differ.\nPicture:\n  ${p}\nLink lines:\n  ${l}")
endif()
message(STATUS "The picture matches the link lines")
