# The sources of the core, one list for every build tree that compiles it (the library and the
# instrumented copy of the fuzz build). Paths are relative to core/.
set(HAOJIAN_CORE_SOURCES
    text/gbk.cpp
    text/line_list.cpp
    text/text_encoding.cpp
    base/error.cpp
    collation/collation.cpp
    collation/simple_key_codes.cpp
    files/buffered_writer.cpp
    files/file_system.cpp
    threads/ordered_chunks.cpp
    threads/parallel_crew.cpp
    threads/thread_start.cpp
    lookup/built_in_code_rows.cpp
    lookup/code_table.cpp
    lookup/number_lookup.cpp
    lookup/segment_database.cpp
    run/compact_result_table.cpp
    run/number_list.cpp
    run/query_run.cpp
    run/seen_texts.cpp
    run/text_pool.cpp
    export/export.cpp
    export/list_export.cpp
    export/row_statistics.cpp
    export/statistics_csv.cpp
    merge/digit_lines.cpp
    merge/merge.cpp
    merge/unique_lines.cpp
    database/carrier_names.cpp
    database/database_check.cpp
    database/place_names.cpp
    database/segment_database_writer.cpp
    database/segment_table.cpp
)

# What the core asks of the operating system, behind its seams: POSIX and ICU on Linux, the
# Win32 API on Windows.
if(WIN32)
  set(HAOJIAN_CORE_PLATFORM_SOURCES
      platform/windows/windows_collator.cpp
      platform/windows/windows_dialog_directory.cpp
      platform/windows/windows_file_system.cpp
      platform/windows/windows_gbk_code_page.cpp
      platform/windows/windows_huge_pages.cpp
      platform/windows/windows_simple_keys.cpp
      platform/windows/windows_stack_guard.cpp
      platform/windows/windows_staged_file.cpp
      platform/windows/windows_standard_streams.cpp
      platform/windows/windows_temporary_names.cpp
      platform/windows/windows_termination_signals_blocked.cpp
      platform/windows/windows_text.cpp
      platform/windows/windows_thread_priority.cpp
  )
else()
  set(HAOJIAN_CORE_PLATFORM_SOURCES
      platform/icu/icu_collator.cpp
      platform/icu/icu_gbk_code_page.cpp
      platform/icu/icu_simple_keys.cpp
      platform/posix/dialog_directory.cpp
      platform/posix/extended_attributes.cpp
      platform/posix/huge_pages.cpp
      platform/posix/in_place_rewrite.cpp
      platform/posix/posix_file_system.cpp
      platform/posix/posix_staged_file.cpp
      platform/posix/standard_streams.cpp
      platform/posix/temporary_names.cpp
      platform/posix/termination_signals_blocked.cpp
      platform/posix/thread_priority.cpp
      platform/posix/write_target.cpp
  )
endif()
list(APPEND HAOJIAN_CORE_SOURCES ${HAOJIAN_CORE_PLATFORM_SOURCES})
list(TRANSFORM HAOJIAN_CORE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
