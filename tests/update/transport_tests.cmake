# Downloads, status reports, the log file and the signature check under Wine's real WinInet and
# CryptoAPI. The test program keeps its data beside itself in update_transport\: served\, which
# it fills and tests/update/http_server.py serves, and signatures\, made here by OpenSSL.
set(transport_data ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/update_transport)
set(transport_signed ${transport_data}/signatures)
set(transport_key ${CMAKE_CURRENT_SOURCE_DIR}/keys/test_update_key.pem)
add_custom_command(
  OUTPUT ${transport_signed}/signed.bin ${transport_signed}/signed.sig ${transport_signed}/signed.sha256
         ${transport_signed}/key.der ${transport_signed}/other_key.der
  COMMAND ${CMAKE_COMMAND} -DOPENSSL=${KESTRUNE_OPENSSL} -DKEY=${transport_key} -DOUTPUT=${transport_signed}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/make_signed_fixture.cmake
  DEPENDS ${transport_key} ${CMAKE_CURRENT_SOURCE_DIR}/make_signed_fixture.cmake
  COMMENT "Signing the transport tests' file with the test key"
  VERBATIM)
add_custom_target(update_transport_signatures DEPENDS ${transport_signed}/signed.sig)

# The program needs the server, so its test runs it through with_http_server.sh and Wine.
add_executable(test_update_transport
  download_test.cpp
  signature_check_test.cpp
  status_report_test.cpp
  transport_fixture.cpp
)
target_link_libraries(test_update_transport PRIVATE
  kestrune_update_transport kestrune_database_fixtures check_harness ws2_32 shell32)
add_dependencies(test_update_transport update_transport_signatures)
add_test(NAME ${KESTRUNE_TEST_PREFIX}test_update_transport
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/with_http_server.sh ${transport_data}/served --
          bash ${PROJECT_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:test_update_transport>)
set_tests_properties(${KESTRUNE_TEST_PREFIX}test_update_transport PROPERTIES
  TIMEOUT 300 RESOURCE_LOCK wineprefix_machine)
