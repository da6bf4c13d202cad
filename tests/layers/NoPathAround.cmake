# cmake -DCORE=src/core -P NoPathAround.cmake
# Fails when a core file includes a header by a path that climbs out of its
# folder ("../net/Transfers.h"): such a path is found beside the including
# file, not through the include roots, so it would pass any layer.

file(GLOB_RECURSE files ${CORE}/*.h ${CORE}/*.cpp)
set(found "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*\\.\\.[/\\\\]")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH name ${CORE} ${file})
    string(APPEND found "\n  ${name}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Core headers are included by a path around the layers:${found}")
endif()
