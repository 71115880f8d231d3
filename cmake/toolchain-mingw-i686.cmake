# Cross-building cdstart for 32-bit Windows, the program the medium ships:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
set(mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_toolchain.cmake)
