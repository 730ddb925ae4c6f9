# Replace and restart: the command line between the program and qvsetup.exe, unpacking and
# starting qvsetup.exe, and qvsetup.exe itself, embedded in the program in the SZDD format.
add_library(kestrune_update_replacement STATIC replacement_command.cpp replacement_program.cpp)
target_include_directories(kestrune_update_replacement PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrune_update_replacement PUBLIC kestrune_update_rules kestrune_update_local_files kestrune_win32 PRIVATE lz32 shell32)

# A GUI-subsystem program without a window, linked statically like every program of the project:
# it runs alone from the temporary folder. Stripped, since every copy of the program carries it.
add_executable(qvsetup WIN32 qvsetup/main.cpp qvsetup/component_swap.cpp qvsetup/replacement_log.cpp)
target_include_directories(qvsetup PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/qvsetup)
target_link_libraries(qvsetup PRIVATE kestrune_update_replacement shell32)
target_link_options(qvsetup PRIVATE -s)

# qvsetup.ex_, compressed by mscompress with the name's last character set in its header.
find_program(KESTRUNE_MSCOMPRESS mscompress NO_CMAKE_FIND_ROOT_PATH)
if(NOT KESTRUNE_MSCOMPRESS)
  message(FATAL_ERROR "mscompress not found: install the package mscompress")
endif()
set(szdd_file ${CMAKE_CURRENT_BINARY_DIR}/szdd/qvsetup.ex_)
set(make_szdd ${CMAKE_CURRENT_SOURCE_DIR}/qvsetup/make_szdd.cmake)
add_custom_command(OUTPUT ${szdd_file}
  COMMAND ${CMAKE_COMMAND} -DMSCOMPRESS=${KESTRUNE_MSCOMPRESS} -DINPUT=$<TARGET_FILE:qvsetup> -DOUTPUT=${szdd_file}
          -P ${make_szdd}
  DEPENDS qvsetup $<TARGET_FILE:qvsetup> ${make_szdd}
  COMMENT "Compressing qvsetup.exe into qvsetup.ex_"
  VERBATIM)
add_custom_target(qvsetup_szdd DEPENDS ${szdd_file})

# The resource UPD that the program carries; linked into Kestrune.exe.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/qvsetup/replacement_resource.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc @ONLY)
add_library(kestrune_replacement_resource OBJECT ${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc)
add_dependencies(kestrune_replacement_resource qvsetup_szdd)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc PROPERTIES OBJECT_DEPENDS ${szdd_file})
