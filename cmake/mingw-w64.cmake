# Cross-builds the Windows program on Debian with MinGW-w64 against the static Qt that
# scripts/windows-qt.sh gives:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DLUMETRA_BUILD_TESTS=OFF
# The Qt prefix is LUMETRA_WINQT_PREFIX (a cache variable or the environment), else the
# script's default cache.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix-thread variant: the Qt was built with it, and its static runtime must match.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT LUMETRA_WINQT_PREFIX)
    if(DEFINED ENV{LUMETRA_WINQT_PREFIX})
        set(LUMETRA_WINQT_PREFIX $ENV{LUMETRA_WINQT_PREFIX})
    elseif(DEFINED ENV{LUMETRA_WINQT})
        set(LUMETRA_WINQT_PREFIX $ENV{LUMETRA_WINQT}/prefix)
    else()
        set(LUMETRA_WINQT_PREFIX /var/cache/lumetra/winqt-5.15/prefix)
    endif()
endif()
set(LUMETRA_WINQT_PREFIX ${LUMETRA_WINQT_PREFIX} CACHE PATH "The static Qt for MinGW-w64")
# try_compile projects see only what is passed on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMETRA_WINQT_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${LUMETRA_WINQT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_PREFIX_PATH ${LUMETRA_WINQT_PREFIX})

# The cross Qt has no Linguist tools; the build machine's lrelease makes the same .qm files.
if(NOT Qt5LinguistTools_DIR AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)
    set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)
endif()

# One file a user can copy: the C and C++ runtimes linked in, as the Qt itself is.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Without symbols a release exe is half the size (30 MB instead of 55).
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
