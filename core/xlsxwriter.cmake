# libxlsxwriter, which writes the workbooks, as the target haojian_xlsxwriter: Debian's
# libxlsxwriter-dev on Linux; for Windows a static library cross-built once per build tree from
# Debian's source package (tools/windows/build-libxlsxwriter.sh), with zlib from
# libz-mingw-w64-dev, so that the programs need no DLL beyond the system's.
if(TARGET haojian_xlsxwriter)
  return()
endif()
if(WIN32)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_libraries.cmake)
  haojian_cross_build_windows_library(build-libxlsxwriter.sh xlsxwriter_built)
  if(NOT xlsxwriter_built)
    message(FATAL_ERROR "libxlsxwriter for Windows could not be built")
  endif()
  set(XLSXWRITER_INCLUDE_DIR ${HAOJIAN_WINDOWS_DEPS}/include)
  set(XLSXWRITER_LIBRARY ${HAOJIAN_WINDOWS_DEPS}/lib/libxlsxwriter.a)
  # The static zlib, never its import library.
  find_library(XLSXWRITER_ZLIB NAMES libz.a REQUIRED)
else()
  find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h REQUIRED)
  find_library(XLSXWRITER_LIBRARY xlsxwriter REQUIRED)
  find_package(ZLIB REQUIRED)
  set(XLSXWRITER_ZLIB ZLIB::ZLIB)
endif()
add_library(haojian_xlsxwriter INTERFACE)
target_include_directories(haojian_xlsxwriter SYSTEM INTERFACE ${XLSXWRITER_INCLUDE_DIR})
target_link_libraries(haojian_xlsxwriter INTERFACE ${XLSXWRITER_LIBRARY} ${XLSXWRITER_ZLIB})
