# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, which std::thread and std::mutex need). Everything is linked
# statically: velmorant-cli.exe and the test programs are single files that
# need no MinGW runtime beside them. Built programs run under Wine, so ctest
# runs the tests on this machine too.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELMORANT_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VELMORANT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORANT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORANT_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORANT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine keeps its Windows in a folder of the build tree and says nothing of
# its own; scripts/test prepares the folder once (wineboot -i).
find_program(VELMORANT_WINE NAMES wine wine64)
if(VELMORANT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
      ${VELMORANT_WINE})
endif()
