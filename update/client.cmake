# The update client and its window side: the run, its actions and dialogs, the downloads of
# the selected files, the database tried before it is placed, and the restart.
add_library(kestrune_update_client STATIC
  online_update.cpp
  update_actions.cpp
  update_downloads.cpp
  update_restart.cpp
  threaded_update.cpp
  update_folders.cpp
  database_check.cpp
  update_dialogs.cpp
  window_update_host.cpp
)
target_include_directories(kestrune_update_client PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrune_update_client
  PUBLIC kestrune_update_rules kestrune_update_local_files kestrune_update_transport kestrune_update_replacement
         kestrune_package_decoding wininet
  PRIVATE shell32 urlmon ole32)
