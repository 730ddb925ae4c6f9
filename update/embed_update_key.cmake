# cmake -DOPENSSL=openssl -DPEM=key.pub.pem -DOUTPUT=key.cpp -P embed_update_key.cmake
# Writes the DER SubjectPublicKeyInfo of the PEM public key as the bytes of update_public_key.h.
# Only the public half of an RSA key of at least 2048 bits is taken: a private key never goes
# into a build, and the program verifies RSA signatures only.
if(NOT EXISTS "${PEM}")
  message(FATAL_ERROR "the update's public key ${PEM} does not exist")
endif()
file(READ "${PEM}" pem_text)
if(pem_text MATCHES "PRIVATE KEY")
  message(FATAL_ERROR "${PEM} holds a private key: give the build the public half only "
                      "(openssl pkey -in KEY.pem -pubout -out KEY.pub.pem)")
endif()
execute_process(COMMAND ${OPENSSL} pkey -pubin -in ${PEM} -noout -text_pub
                RESULT_VARIABLE result OUTPUT_VARIABLE description ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot read the public key ${PEM}: ${error}")
endif()
if(NOT description MATCHES "Modulus:" OR NOT description MATCHES "Public-Key: \\(([0-9]+) bit\\)")
  message(FATAL_ERROR "${PEM} holds no RSA key: the program verifies RSA signatures")
endif()
if(CMAKE_MATCH_1 LESS 2048 OR CMAKE_MATCH_1 GREATER 8192)
  message(FATAL_ERROR "${PEM} holds an RSA key of ${CMAKE_MATCH_1} bits; the update takes 2048 to 8192 bits")
endif()

set(der ${OUTPUT}.der)
execute_process(COMMAND ${OPENSSL} pkey -pubin -in ${PEM} -outform DER -out ${der}
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot convert the public key ${PEM}: ${error}")
endif()
file(READ ${der} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line (CMake's expressions know no counted repetition).
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
string(REGEX REPLACE "\n    $" "" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${PEM}; do not edit.\n#include \"update_public_key.h\"\n\nnamespace update {\n\n"
  "const unsigned char kUpdatePublicKey[] = {\n    ${bytes}\n};\nconst unsigned kUpdatePublicKeySize = ${size};\n\n}  // namespace update\n")
