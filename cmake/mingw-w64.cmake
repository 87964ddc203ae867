# Cross-compiles for 64-bit Windows with MinGW-w64 (the "posix" thread model,
# which std::thread and GoogleTest need). The programs are linked statically
# so that they run without MinGW's DLLs beside them, on Windows or under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRAVONIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRAVONIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRAVONIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRAVONIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRAVONIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
