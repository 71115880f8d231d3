# Cross-building cdstart for 64-bit Windows, the same program as a PE32+ file,
# which 64-bit Wine runs where 32-bit programs cannot run at all:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
set(mingw_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_toolchain.cmake)
