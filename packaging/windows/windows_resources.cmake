# The Windows executables' resources: a version resource, the application icon and a manifest.
# Included once from the top-level CMakeLists.txt of a Windows build (RC can only be enabled at
# file scope); an executable then takes them with
#   haojian_windows_resources(<target> "<file description>")
# as cli/CMakeLists.txt does for haojian-cli.exe; the window haojian.exe takes them the same way.
# The icon is resource 1 (resource_ids.h): Explorer shows the first icon group of an
# executable, named groups before numbered ones, so other icons take higher numbers, no names.
enable_language(RC)

set(HAOJIAN_WINDOWS_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(haojian_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
set(HAOJIAN_WINDOWS_ICON ${CMAKE_BINARY_DIR}/packaging/windows/haojian.ico)

# The .ico is made from the same artwork as the Linux icons at build time. The 24-pixel image
# (16 at 150 %) is the 48-pixel one halved, two by two pixels into one.
find_program(HAOJIAN_IMAGEMAGICK_CONVERT convert REQUIRED)
set(haojian_icon_sources
    ${haojian_root}/data/pictures/icon_16.png ${haojian_root}/data/pictures/icon_32.png
    ${haojian_root}/packaging/icons/haojian_48.png
    ${haojian_root}/packaging/icons/haojian_64.png
    ${haojian_root}/packaging/icons/haojian_128.png
    ${haojian_root}/packaging/icons/haojian_256.png)
add_custom_command(
  OUTPUT ${HAOJIAN_WINDOWS_ICON}
  COMMAND ${HAOJIAN_IMAGEMAGICK_CONVERT} ${haojian_root}/data/pictures/icon_16.png
          "(" ${haojian_root}/packaging/icons/haojian_48.png -filter box -resize 24x24 ")"
          ${haojian_root}/data/pictures/icon_32.png
          ${haojian_root}/packaging/icons/haojian_48.png
          ${haojian_root}/packaging/icons/haojian_64.png
          ${haojian_root}/packaging/icons/haojian_128.png
          ${haojian_root}/packaging/icons/haojian_256.png ${HAOJIAN_WINDOWS_ICON}
  DEPENDS ${haojian_icon_sources}
  COMMENT "Making the application icon haojian.ico"
  VERBATIM)
add_custom_target(haojian_windows_icon DEPENDS ${HAOJIAN_WINDOWS_ICON})

# The copyright year is the release's.
string(SUBSTRING "${HAOJIAN_RELEASE_DATE}" 0 4 HAOJIAN_RELEASE_YEAR)

function(haojian_windows_resources target description)
  set(HAOJIAN_FILE_DESCRIPTION "${description}")
  set(HAOJIAN_INTERNAL_NAME ${target})
  set(HAOJIAN_ORIGINAL_FILENAME ${target}.exe)
  set(HAOJIAN_VERSION_TWEAK 0)
  if(PROJECT_VERSION_TWEAK)
    set(HAOJIAN_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  configure_file(${HAOJIAN_WINDOWS_RESOURCE_DIR}/haojian.exe.manifest.in ${out}/${target}.manifest
                 @ONLY)
  configure_file(${HAOJIAN_WINDOWS_RESOURCE_DIR}/resources.rc.in ${out}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${out}/${target}.rc)
  # windres reports no dependencies: the icon and the manifest are named here.
  set_source_files_properties(${out}/${target}.rc PROPERTIES OBJECT_DEPENDS
                              "${HAOJIAN_WINDOWS_ICON};${out}/${target}.manifest")
  target_include_directories(${target} PRIVATE ${HAOJIAN_WINDOWS_RESOURCE_DIR})
  add_dependencies(${target} haojian_windows_icon)
endfunction()
