# qvrelease through its real executable, with the test key pair.
set(update_test_keys ${PROJECT_SOURCE_DIR}/tests/update/keys)
kestrune_test(test_qvrelease qvrelease_test.cpp tool_runner.cpp)
target_link_libraries(test_qvrelease PRIVATE kestrune_database_fixtures)
target_compile_definitions(test_qvrelease PRIVATE
  QVRELEASE_PATH="$<TARGET_FILE:qvrelease>"
  TEST_KEY_FOLDER="${update_test_keys}"
  OTHER_PUBLIC_KEY="${PROJECT_SOURCE_DIR}/update/keys/maker_update_key.pub.pem"
  EXAMPLE_CONTROL_FILE="${PROJECT_SOURCE_DIR}/tests/update/fixtures/example_qv_update.INF")
add_dependencies(test_qvrelease qvrelease)

# kestrune_embed_update_key: the bytes built into a program are the DER form of the PEM it names.
include(${PROJECT_SOURCE_DIR}/update/update_key.cmake)
kestrune_test(test_update_key_embedding update_key_embedding_test.cpp)
kestrune_embed_update_key(test_update_key_embedding ${update_test_keys}/test_update_key.pub.pem)
target_link_libraries(test_update_key_embedding PRIVATE kestrune_database_fixtures)
target_compile_definitions(test_update_key_embedding PRIVATE
  TEST_PUBLIC_KEY_DER="${update_test_keys}/test_update_key.pub.der")

# The embedding refuses a private key: only the public half may go into a build.
add_test(NAME ${KESTRUNE_TEST_PREFIX}update_key_refuses_private_key
  COMMAND ${CMAKE_COMMAND} -DOPENSSL=${KESTRUNE_OPENSSL} -DPEM=${update_test_keys}/test_update_key.pem
          -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/refused_update_key.cpp
          -P ${PROJECT_SOURCE_DIR}/update/embed_update_key.cmake)
set_tests_properties(${KESTRUNE_TEST_PREFIX}update_key_refuses_private_key PROPERTIES
  PASS_REGULAR_EXPRESSION "test_update_key.pem holds a private key")
