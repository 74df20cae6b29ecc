# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model, which
# std::thread needs):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTQ_QT=OFF -DTQ_RTMIDI=OFF -DTQ_SQLITE=OFF
#
# The build runs its Windows programs (the test discovery, the generator of the initial-data library, the
# tests) under Wine, in a prefix of its own in the build folder (cmake/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TQ_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TQ_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TQ_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TQ_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TQ_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config must not offer the build machine's libraries either.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${TQ_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The programs carry the C++, GCC and thread runtimes, so that they run without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(TQ_WINE wine)
if(TQ_WINE AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    # The prefix is made on the first run; CMAKE_BINARY_DIR is the build folder here.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
