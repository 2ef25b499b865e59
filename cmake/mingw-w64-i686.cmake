# Cross build for 32-bit Windows (for 32-bit agents). It is compiled here, never run: 32-bit
# Wine cannot run on these machines.
set(ORQ_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
