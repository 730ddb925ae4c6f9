# DownloadFile against a bare InternetReadFile loop on a 50 MB file from the local test server,
# with the peak working set: a Windows console program, run by hand under Wine inside
# tests/update/with_http_server.sh (the command is at the top of update_download_bench.cpp).
if(KESTRUNE_WINDOWS)
  add_executable(bench_update_download update_download_bench.cpp)
  target_link_libraries(bench_update_download PRIVATE kestrune_update_transport psapi)
endif()
