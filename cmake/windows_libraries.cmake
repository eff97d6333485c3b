# Libraries cross-built for Windows from Debian's source packages into HAOJIAN_WINDOWS_DEPS, one
# script of tools/windows/ for each; quick when the library is there already.
include_guard(GLOBAL)
set(HAOJIAN_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH "Libraries cross-built for Windows")

# Runs tools/windows/SCRIPT, which builds a library into HAOJIAN_WINDOWS_DEPS; sets BUILT in the
# caller's scope to whether it succeeded.
function(haojian_cross_build_windows_library script built)
  set(args ${CMAKE_BINARY_DIR}/deps-build ${HAOJIAN_WINDOWS_DEPS})
  if(IS_ABSOLUTE "${CMAKE_TOOLCHAIN_FILE}")
    list(APPEND args ${CMAKE_TOOLCHAIN_FILE})
  endif()
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/windows/${script} ${args}
                  RESULT_VARIABLE result)
  if(result EQUAL 0)
    set(${built} TRUE PARENT_SCOPE)
  else()
    set(${built} FALSE PARENT_SCOPE)
  endif()
endfunction()
