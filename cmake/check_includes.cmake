# Fails when a source includes a header its layer may not see.
# Run as: cmake -DLAYER=name -DALLOWED="jet/io;jet/util" [-DNO_TOOLKIT=ON]
#               -DFILES="a.cpp;b.h" -DSTAMP=file -P check_includes.cmake
# An allowed entry is a folder prefix ("jet/io") or a whole header ("jet/table.h");
# it rules the engine's headers ("jet/..."). With NO_TOOLKIT the sources may
# include neither a front-end's folder (dialogs/, app/, win/) nor a window
# toolkit's headers (Qt's, and the Windows window system's beyond windows.h,
# which the programs need for files and the console).
set(front_ends "^(dialogs|app|win)/")
set(toolkit "^(Q[A-Za-z0-9_]*|Qt[A-Za-z0-9_]*/.*|(winuser|commctrl|commdlg|windowsx|shellapi|shlobj)\\.h)$")
set(bad "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]+)[\">].*$" "\\1" header "${line}")
    if(NO_TOOLKIT AND (header MATCHES "${front_ends}" OR header MATCHES "${toolkit}"))
      string(APPEND bad "  ${file}: includes ${header}, a front-end's or a toolkit's\n")
    endif()
    if(NOT line MATCHES "\"jet/")
      continue()
    endif()
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
  message(FATAL_ERROR "Include out of layer: ${LAYER} may include only ${ALLOWED} of the engine"
                      "\n${bad}")
endif()
file(TOUCH "${STAMP}")
