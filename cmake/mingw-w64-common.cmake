# Shared part of the MinGW-w64 toolchain files; they set MINGW_TRIPLE first.
# Debian's posix thread model is the one whose libstdc++ has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)  # Windows 7 SP1 and later

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Look for libraries and packages in the target's tree only, so that the
# host's ICU, Qt or GTest are never picked up; build tools come from the host.
# A library built for the target elsewhere goes into CMAKE_FIND_ROOT_PATH too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(_mingw_defines "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DUNICODE -D_UNICODE")
set(CMAKE_C_FLAGS_INIT "${_mingw_defines}")
set(CMAKE_CXX_FLAGS_INIT "${_mingw_defines}")
set(CMAKE_RC_FLAGS_INIT "-DWINVER=0x0601 -DUNICODE -D_UNICODE")
# One executable with no DLL beside it: libgcc, libstdc++ and winpthreads
# are linked in, only system DLLs stay dynamic.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Tests and generators built for Windows run under wine, in a prefix of the
# build tree's own. try_compile projects get the parent's prefix.
get_filename_component(_mingw_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT DEFINED HAOJIAN_WINEPREFIX)
    set(HAOJIAN_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix"
        CACHE PATH "Wine prefix in which Windows programs of this build run")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HAOJIAN_WINEPREFIX)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_mingw_root}/tools/windows/wine-run.sh;--prefix;${HAOJIAN_WINEPREFIX}")
