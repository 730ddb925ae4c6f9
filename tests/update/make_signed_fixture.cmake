# cmake -DOPENSSL=openssl -DKEY=private.pem -DOUTPUT=folder -P make_signed_fixture.cmake
# Writes what the signature tests check against, all made by OpenSSL: signed.bin (10,007 random
# bytes), signed.sig (its SHA-256 RSA signature by KEY), signed.sha256 (its digest), key.der
# (KEY's public half) and other_key.der (a fresh key's), as DER SubjectPublicKeyInfo.
file(MAKE_DIRECTORY ${OUTPUT})
function(run_openssl)
  execute_process(COMMAND ${OPENSSL} ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "openssl ${ARGN}: ${error}")
  endif()
endfunction()
run_openssl(rand -out ${OUTPUT}/signed.bin 10007)
run_openssl(dgst -sha256 -sign ${KEY} -out ${OUTPUT}/signed.sig ${OUTPUT}/signed.bin)
run_openssl(dgst -sha256 -r -out ${OUTPUT}/signed.sha256 ${OUTPUT}/signed.bin)
run_openssl(pkey -in ${KEY} -pubout -outform DER -out ${OUTPUT}/key.der)
run_openssl(genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out ${OUTPUT}/other_key.pem)
run_openssl(pkey -in ${OUTPUT}/other_key.pem -pubout -outform DER -out ${OUTPUT}/other_key.der)
file(REMOVE ${OUTPUT}/other_key.pem)
