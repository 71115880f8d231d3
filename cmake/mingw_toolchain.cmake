# What the two Windows toolchains share; each sets mingw_processor (i686 or
# x86_64) and includes this. Debian's MinGW-w64 cross compilers build the
# program, and Wine runs what they build.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingw_processor})

set(mingw_triplet ${mingw_processor}-w64-mingw32)

# Debian ships every MinGW-w64 compiler in two thread models, -win32 and
# -posix; the unsuffixed names follow update-alternatives, so the model is
# named here rather than left to whatever the machine has selected.
# The -posix one: its libstdc++ has std::mutex, std::thread, std::call_once
# and the rest of the threading library (GCC 12's -win32 one has none of
# them), and with -static it links winpthreads in as well, so the program
# and the tests import nothing beyond KERNEL32, msvcrt and the system DLLs
# they call: no libwinpthread-1.dll, libstdc++-6.dll or libgcc_s_*.dll.
# Every executable must therefore be linked with -static.
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Headers and libraries come from the target's root only; programs run
# during the build (cmake, the compilers, the embedding script) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Built programs run under the Wine that runs this architecture (32-bit Wine
# for i686, 64-bit Wine for x86_64), in a Wine prefix of the build tree's
# own, so that neither the user's ~/.wine nor another build tree is touched.
if(mingw_processor STREQUAL "x86_64")
  set(cdstart_wine_arch win64)
else()
  set(cdstart_wine_arch win32)
endif()
get_filename_component(cdstart_tools_dir ${CMAKE_CURRENT_LIST_DIR}/../tools ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${cdstart_tools_dir}/wine_run.sh --arch ${cdstart_wine_arch}
    --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
