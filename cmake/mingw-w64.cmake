# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which
# std::thread and Qt need). Used for Qt itself (scripts/build-qt-windows copies this file into
# the Qt it builds, whose qt.toolchain.cmake then loads it for the program) and for the
# standard-library layers alone. The tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# Only the mingw-w64 tree for headers and libraries: the host's (through its Vulkan or
# pkg-config files, for example) would otherwise leak -I/usr/include into the Windows build.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The compiler's own runtime DLLs (libstdc++, libgcc_s, libwinpthread) are shared by Qt's DLLs
# and the program, so the program links them dynamically too; the test scripts put their
# folders on WINEPATH and the packages ship them beside the program.
# Debian's 64-bit loader itself: the `wine` wrapper prints a note about wine32 on every run,
# which would land in the output the tests compare.
if(EXISTS /usr/lib/wine/wine64)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
    set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
