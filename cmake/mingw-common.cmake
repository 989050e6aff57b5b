set(CMAKE_C_COMPILER   ${LINTEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LINTEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${LINTEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LINTEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the Windows test programs through Wine (by a script that starts
# a program again when Wine failed to start it); the harness sets WINEPREFIX.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh)
