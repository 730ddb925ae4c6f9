# The control file's rules, portable: INI reading, folder tokens, dates, versions, the byte-sum
# checksum, the comparison rule, the update check, the file entries and their names.
add_library(kestrune_update_rules STATIC
  byte_sum.cpp
  comparison_rule.cpp
  cp936_text.cpp
  file_entries.cpp
  folder_tokens.cpp
  ini_text.cpp
  update_check.cpp
  update_dates.cpp
  url_file_name.cpp
  version_text.cpp
)
target_include_directories(kestrune_update_rules PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# What the rules ask of installed files and folders, answered by Windows.
if(KESTRUNE_WINDOWS)
  add_library(kestrune_update_local_files STATIC local_file_facts_win.cpp folder_lookup_win.cpp)
  target_link_libraries(kestrune_update_local_files PUBLIC kestrune_update_rules kestrune_win32 version shell32)
endif()
