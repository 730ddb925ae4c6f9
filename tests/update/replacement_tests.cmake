# Replace and restart under Wine: the command line both ways, the resource UPD expanded by the
# system's LZ32 into this build's qvsetup.exe, and qvsetup.exe replacing a scratch installation
# while a real process ends. The restart probe plays the program that is replaced and restarted.
add_executable(kestrune_restart_probe WIN32 restart_probe.cpp)
kestrune_test(test_update_replacement
  replacement_command_test.cpp
  replacement_program_test.cpp
  qvsetup_test.cpp
  replacement_fixture.cpp
)
target_link_libraries(test_update_replacement PRIVATE
  kestrune_update_replacement kestrune_replacement_resource kestrune_windows_fixtures kestrune_database_fixtures)
add_dependencies(test_update_replacement qvsetup kestrune_sleeper kestrune_restart_probe)
