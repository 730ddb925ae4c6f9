# Downloads over WinInet, status reports and the log file, SHA-256 and signature checks.
add_library(kestrune_update_transport STATIC
  download_placement.cpp
  http_download.cpp
  signature_check.cpp
  status_messages.cpp
  status_report.cpp
)
target_link_libraries(kestrune_update_transport
  PUBLIC kestrune_update_rules kestrune_update_local_files kestrune_win32 wininet
  PRIVATE advapi32 crypt32 shell32 user32)
