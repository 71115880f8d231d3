# The libraries the Windows build links, built for the target with the same
# toolchain, from sources that Debian provides (tools/install_deps.sh win32
# installs what is needed):
#   JPEG::JPEG                    libjpeg-turbo, static, from Debian's source package
#   GTest::gtest_main, GTest::gmock  GoogleTest from /usr/src/googletest (tests only)
# Everything lands in the build tree under _deps/; nothing is fetched twice and
# nothing is rebuilt unless its sources or settings change.

include(ExternalProject)

set(cdstart_deps_dir ${CMAKE_BINARY_DIR}/_deps)

# ---- libjpeg-turbo -------------------------------------------------------

set(jpeg_dir ${cdstart_deps_dir}/libjpeg-turbo)
set(jpeg_fetch_dir ${jpeg_dir}/debian-source)
set(jpeg_install_dir ${jpeg_dir}/install)

# apt-get source leaves the unpacked tree, with Debian's patches applied,
# in <package>-<upstream version>/ beside the downloaded files.
file(GLOB jpeg_source_dir LIST_DIRECTORIES true ${jpeg_fetch_dir}/libjpeg-turbo-*/CMakeLists.txt)
if(NOT jpeg_source_dir)
  find_program(APT_GET apt-get)
  find_program(DPKG_SOURCE dpkg-source)
  if(NOT APT_GET OR NOT DPKG_SOURCE)
    message(FATAL_ERROR "libjpeg-turbo for Windows is built from Debian's source package, "
                        "which needs apt-get and dpkg-source (dpkg-dev): run tools/install_deps.sh win32")
  endif()
  message(STATUS "Fetching Debian's libjpeg-turbo source package")
  file(REMOVE_RECURSE ${jpeg_fetch_dir})
  file(MAKE_DIRECTORY ${jpeg_fetch_dir})
  set(apt_options -qq)
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(uid STREQUAL "0")
    # As root apt hands downloads to its _apt user, which cannot write into
    # the build tree; it would fall back with a warning anyway.
    list(APPEND apt_options -o APT::Sandbox::User=root)
  endif()
  execute_process(COMMAND ${APT_GET} source ${apt_options} libjpeg-turbo
                  WORKING_DIRECTORY ${jpeg_fetch_dir}
                  RESULT_VARIABLE fetch_result OUTPUT_VARIABLE fetch_log ERROR_VARIABLE fetch_log)
  file(GLOB jpeg_source_dir LIST_DIRECTORIES true ${jpeg_fetch_dir}/libjpeg-turbo-*/CMakeLists.txt)
  if(NOT fetch_result EQUAL 0 OR NOT jpeg_source_dir)
    file(REMOVE_RECURSE ${jpeg_fetch_dir})
    message(FATAL_ERROR "apt-get source libjpeg-turbo failed (${fetch_result}):\n${fetch_log}\n"
                        "It needs deb-src entries in the apt sources: run tools/install_deps.sh win32")
  endif()
endif()
list(GET jpeg_source_dir 0 jpeg_source_dir)
get_filename_component(jpeg_source_dir ${jpeg_source_dir} DIRECTORY)

if(NOT CMAKE_TOOLCHAIN_FILE)
  message(FATAL_ERROR "The Windows build needs a toolchain file, e.g. cmake/toolchain-mingw-i686.cmake")
endif()
get_filename_component(jpeg_toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${CMAKE_BINARY_DIR})

# Small: sections the program's linker can drop, and no JPEGMEM from the
# environment (the program reads no environment, and it spares the scanf
# machinery). On 32-bit Windows C that never sees an exception needs no
# unwind tables either; 64-bit Windows unwinds every frame by its tables, and
# the longjmp that ends a failed decode is such an unwinding, so there libjpeg
# keeps them.
set(jpeg_c_flags "-ffunction-sections -fdata-sections -DNO_GETENV -D__USE_MINGW_ANSI_STDIO=0")
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  string(APPEND jpeg_c_flags " -fno-asynchronous-unwind-tables")
endif()

set(jpeg_library ${jpeg_install_dir}/lib/libjpeg.a)
set(jpeg_headers jpeglib.h jmorecfg.h jerror.h)
list(TRANSFORM jpeg_headers PREPEND ${jpeg_source_dir}/)
# Only the static library and the four public headers: no tools, no TurboJPEG.
ExternalProject_Add(libjpeg_turbo
  PREFIX ${jpeg_dir}
  SOURCE_DIR ${jpeg_source_dir}
  BINARY_DIR ${jpeg_dir}/build
  INSTALL_DIR ${jpeg_install_dir}
  DOWNLOAD_COMMAND ""
  UPDATE_COMMAND ""
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${jpeg_toolchain}
    -DCMAKE_BUILD_TYPE=MinSizeRel
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    "-DCMAKE_C_FLAGS=${jpeg_c_flags}"
    -DWITH_ARITH_DEC=OFF
    -DWITH_ARITH_ENC=OFF
    -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON
    -DWITH_SIMD=OFF
    -DWITH_TURBOJPEG=OFF
    -DWITH_JAVA=OFF
    -DWITH_MEM_SRCDST=ON
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  INSTALL_COMMAND
    ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/libjpeg.a <INSTALL_DIR>/lib/libjpeg.a
    COMMAND ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/jconfig.h ${jpeg_headers}
            <INSTALL_DIR>/include
  BUILD_BYPRODUCTS ${jpeg_library}
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON)

# An imported target names files that must exist when the build is generated;
# the library itself appears when libjpeg_turbo has been built.
file(MAKE_DIRECTORY ${jpeg_install_dir}/include ${jpeg_install_dir}/lib)
add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
set_target_properties(JPEG::JPEG PROPERTIES
  IMPORTED_LOCATION ${jpeg_library}
  INTERFACE_INCLUDE_DIRECTORIES ${jpeg_install_dir}/include)
add_dependencies(JPEG::JPEG libjpeg_turbo)

# ---- GoogleTest ----------------------------------------------------------

if(CDSTART_TESTS)
  set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest)")
  if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${GTEST_SOURCE_DIR}: run tools/install_deps.sh win32")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  # GoogleTest uses Windows' own threads there; winpthreads would only add weight.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${cdstart_deps_dir}/googletest EXCLUDE_FROM_ALL)
  foreach(name gtest gtest_main gmock gmock_main)
    # Its headers warn no more here than from /usr/include on Linux.
    get_target_property(gtest_includes ${name} INTERFACE_INCLUDE_DIRECTORIES)
    set_target_properties(${name} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${gtest_includes}")
    # GoogleTest's own build names them so; the aliases keep tests/ as on Linux.
    if(NOT TARGET GTest::${name})
      add_library(GTest::${name} ALIAS ${name})
    endif()
  endforeach()
endif()
