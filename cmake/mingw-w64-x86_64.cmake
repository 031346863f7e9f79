# Cross build for 64-bit Windows with Debian's mingw-w64 (the -posix variants, whose C++ runtime has
# std::thread), run under Wine: ctest starts every test program through CMAKE_CROSSCOMPILING_EMULATOR. The
# windows preset loads it through the Windows Qt's own toolchain file (QT_CHAINLOAD_TOOLCHAIN_FILE).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZOR_MINGW_PREFIX}-windres)
# The message compiler, for the program's message table (src/app/CMakeLists.txt).
set(ZOR_MESSAGE_COMPILER ${ZOR_MINGW_PREFIX}-windmc)

set(CMAKE_FIND_ROOT_PATH /usr/${ZOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked, so the programs need none of mingw's DLLs beside them at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Where Wine is and the environment it runs the suites in are the script's.
cmake_path(SET CMAKE_CROSSCOMPILING_EMULATOR NORMALIZE ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
