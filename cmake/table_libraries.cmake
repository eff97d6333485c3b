# The libraries that read workbooks: minizip (on zlib) for the zip, expat for the XML, as
# haojian_table_libraries. Debian's packages on Linux; for Windows, static libraries
# cross-built from Debian's source packages by tools/windows/build-table-libs.sh.
if(TARGET haojian_table_libraries)
  return()
endif()
add_library(haojian_table_libraries INTERFACE)
if(WIN32)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_libraries.cmake)
  haojian_cross_build_windows_library(build-table-libs.sh table_built)
  if(NOT table_built)
    message(FATAL_ERROR "minizip and expat for Windows could not be built")
  endif()
  # Static: haojian-cli.exe needs no DLL beyond the system's. Expat's static header asks for
  # XML_STATIC.
  target_include_directories(haojian_table_libraries INTERFACE ${HAOJIAN_WINDOWS_DEPS}/include)
  target_compile_definitions(haojian_table_libraries INTERFACE XML_STATIC)
  # The static zlib, never its import library.
  find_library(TABLE_ZLIB NAMES libz.a REQUIRED)
  target_link_libraries(haojian_table_libraries INTERFACE
                        ${HAOJIAN_WINDOWS_DEPS}/lib/libminizip.a
                        ${HAOJIAN_WINDOWS_DEPS}/lib/libexpat.a ${TABLE_ZLIB})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
  target_link_libraries(haojian_table_libraries INTERFACE PkgConfig::MINIZIP PkgConfig::EXPAT)
endif()
