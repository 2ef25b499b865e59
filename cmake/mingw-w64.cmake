# Cross build for 64-bit Windows (or, with ORQ_MINGW_ARCH i686, 32-bit) with the posix-thread
# variant of mingw-w64 (the win32 variant lacks std::thread and std::mutex, which GoogleTest needs).
if(NOT DEFINED ORQ_MINGW_ARCH)
  set(ORQ_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORQ_MINGW_ARCH})
set(CMAKE_C_COMPILER ${ORQ_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORQ_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${ORQ_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORQ_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
