# The update client end to end: builds of the program and of qxcli that trust the test key, the
# old one at 1.0.0.0 and the new one at 1.0.1.0, pointed at update folders that the release
# tool makes and a local server serves.
set(update_e2e ${CMAKE_BINARY_DIR}/update_e2e)
set(update_test_key ${CMAKE_CURRENT_SOURCE_DIR}/keys/test_update_key.pub.pem)

kestrune_resources_with_version(kestrune_resources_v100 1 0 0 0)
kestrune_resources_with_version(kestrune_resources_v101 1 0 1 0)
kestrune_add_window_program(kestrune_update_old kestrune_resources_v100 ${update_test_key})
kestrune_add_window_program(kestrune_update_new kestrune_resources_v101 ${update_test_key})
kestrune_add_qxcli(qxcli_update_test ${update_test_key})
set_target_properties(kestrune_update_old PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${update_e2e})
set_target_properties(kestrune_update_new PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${update_e2e}/new)
set_target_properties(qxcli_update_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${update_e2e}/console)

# The window test sits beside the old build, which it copies into a scratch installation.
add_executable(test_update_window update_window_test.cpp)
target_link_libraries(test_update_window PRIVATE kestrune_window_session)
set_target_properties(test_update_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${update_e2e})
add_dependencies(test_update_window kestrune_update_old kestrune_update_new qxcli_update_test
                 signature_package quillmoss_signature_package)

# The release tool is native: the native build next to this one makes it.
set(KESTRUNE_NATIVE_TOOLS_DIR "" CACHE PATH "bin folder of the native build (qvrelease)")
if(KESTRUNE_NATIVE_TOOLS_DIR AND QUILLMOSS_SIGNATURE_PACKAGE)
  add_test(NAME ${KESTRUNE_TEST_PREFIX}update_end_to_end
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/with-display.sh
            bash ${CMAKE_CURRENT_SOURCE_DIR}/update_end_to_end.sh ${update_e2e}
            ${KESTRUNE_NATIVE_TOOLS_DIR}/qvrelease ${CMAKE_CURRENT_SOURCE_DIR}/keys/test_update_key.pem
            ${CMAKE_BINARY_DIR}/bin/REZ.hdb3 ${QUILLMOSS_SIGNATURE_PACKAGE})
  set_tests_properties(${KESTRUNE_TEST_PREFIX}update_end_to_end PROPERTIES
    TIMEOUT 900 RESOURCE_LOCK wineprefix_machine)
endif()
