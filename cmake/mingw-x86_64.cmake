# Cross-compiling for 64-bit Windows (the stand-ins a real x64 package would carry).
set(KLM_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
