# Cross-compiling for Windows with mingw-w64 from a Linux host; included by the toolchain
# file of each processor width, which sets KLM_MINGW_PROCESSOR (i686 or x86_64).
#
# The POSIX thread model is used because GoogleTest needs std::mutex. Its runtime pulls in
# functions newer than Windows 2000 (GetTickCount64, AddVectoredExceptionHandler), which is
# fine for test executables run under Wine but not for the shipped programs: those must be
# built with the win32 thread model (set KLM_MINGW_THREADS=win32 when configuring).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KLM_MINGW_PROCESSOR})

set(_klm_triple ${KLM_MINGW_PROCESSOR}-w64-mingw32)
if(NOT DEFINED KLM_MINGW_THREADS)
  set(KLM_MINGW_THREADS posix)
endif()
# Try-compile projects run with a fresh cache: hand the choice on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KLM_MINGW_THREADS)

set(CMAKE_C_COMPILER ${_klm_triple}-gcc-${KLM_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${_klm_triple}-g++-${KLM_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${_klm_triple}-windres)
set(CMAKE_AR ${_klm_triple}-gcc-ar-${KLM_MINGW_THREADS} CACHE FILEPATH "")
set(CMAKE_RANLIB ${_klm_triple}-gcc-ranlib-${KLM_MINGW_THREADS} CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_klm_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

