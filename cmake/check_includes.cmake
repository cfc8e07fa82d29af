# Fails when a source includes an engine header its layer may not see.
# Run as: cmake -DLAYER=name -DALLOWED="jet/io;jet/util" -DFILES="a.cpp;b.h"
#               -DSTAMP=file -P check_includes.cmake
# An allowed entry is a folder prefix ("jet/io") or a whole header ("jet/table.h").
set(bad "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"jet/")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
    set(ok FALSE)
    foreach(allowed IN LISTS ALLOWED)
      if(header STREQUAL allowed OR header MATCHES "^${allowed}/")
        set(ok TRUE)
      endif()
    endforeach()
    if(NOT ok)
      string(APPEND bad "  ${file}: includes ${header}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Upward include: ${LAYER} may include only ${ALLOWED}\n${bad}")
endif()
file(TOUCH "${STAMP}")
