# kestrune_embed_update_key(TARGET PEM): compiles the public key of PEM into TARGET as the bytes
# of update_public_key.h. The PEM is turned into DER at build time by the openssl tool, into a
# source file of TARGET's own, so that programs of one build may trust different keys. Call it
# in the directory that defines TARGET: the file is generated there.
include_guard(GLOBAL)

set(KESTRUNE_UPDATE_PUBLIC_KEY ${CMAKE_CURRENT_LIST_DIR}/keys/maker_update_key.pub.pem CACHE FILEPATH
    "Public key (PEM) that must have signed the update's control file")
# The build machine's openssl, also in the Windows cross build.
find_program(KESTRUNE_OPENSSL openssl NO_CMAKE_FIND_ROOT_PATH)
if(NOT KESTRUNE_OPENSSL)
  message(FATAL_ERROR "openssl not found: install the package openssl")
endif()

function(kestrune_embed_update_key target pem)
  get_filename_component(pem ${pem} ABSOLUTE)
  if(NOT EXISTS ${pem})
    message(FATAL_ERROR "the update's public key ${pem} for ${target} does not exist")
  endif()
  set(update_source ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_update_key.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DOPENSSL=${KESTRUNE_OPENSSL} -DPEM=${pem} -DOUTPUT=${source}
            -P ${update_source}/embed_update_key.cmake
    DEPENDS ${pem} ${update_source}/embed_update_key.cmake
    COMMENT "Building the update's public key into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
  target_include_directories(${target} PRIVATE ${update_source})
endfunction()
