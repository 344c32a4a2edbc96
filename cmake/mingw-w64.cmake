# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORTANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORTANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORTANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORTANE_MINGW_TRIPLE}-windres)

# Libraries built for Windows are installed below VORTANE_MINGW_PREFIX
# (GoogleTest, libxlsxwriter); zlib comes with the system's MinGW sysroot.
set(CMAKE_FIND_ROOT_PATH /usr/${VORTANE_MINGW_TRIPLE} ${VORTANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The test programs run under Wine without the MinGW runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# try_compile projects see the same prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORTANE_MINGW_PREFIX)
