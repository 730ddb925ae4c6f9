# The control file's rules: natively, and under Wine since the library is portable.
kestrune_test(test_update_rules control_file_text_test.cpp control_file_rules_test.cpp)
target_link_libraries(test_update_rules PRIVATE kestrune_update_rules)

# What Windows reports of installed files and folders: a real program's version resource (the
# probe beside the test), real files in the prefix, the user's short date, the token folders.
if(KESTRUNE_WINDOWS)
  add_executable(update_version_probe version_probe.cpp version_probe.rc)
  kestrune_test(test_update_local_files local_files_test.cpp)
  target_link_libraries(test_update_local_files PRIVATE kestrune_update_local_files kestrune_windows_fixtures)
  add_dependencies(test_update_local_files update_version_probe)
endif()
