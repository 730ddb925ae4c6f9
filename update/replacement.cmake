# Replace and restart: the command line between the program and qvsetup.exe, unpacking and
# starting qvsetup.exe, and qvsetup.exe itself, embedded in the program in the SZDD format.
add_library(kestrune_update_replacement STATIC replacement_command.cpp replacement_program.cpp)
target_include_directories(kestrune_update_replacement PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrune_update_replacement PUBLIC kestrune_update_rules kestrune_win32 PRIVATE lz32 shell32)

add_executable(qvsetup WIN32 qvsetup/main.cpp qvsetup/component_swap.cpp qvsetup/replacement_log.cpp)
target_include_directories(qvsetup PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/qvsetup)
target_link_libraries(qvsetup PRIVATE kestrune_update_replacement shell32)

# qvsetup.ex_: compressed by mscompress, whose header leaves the stored last character of the
# name empty; it is set to "e", so that the expanded name comes out as qvsetup.exe.
find_program(KESTRUNE_MSCOMPRESS mscompress NO_CMAKE_FIND_ROOT_PATH)
if(NOT KESTRUNE_MSCOMPRESS)
  message(FATAL_ERROR "mscompress not found: install the package mscompress")
endif()
set(szdd_folder ${CMAKE_CURRENT_BINARY_DIR}/szdd)
set(szdd_file ${szdd_folder}/qvsetup.ex_)
add_custom_command(OUTPUT ${szdd_file}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${szdd_folder}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:qvsetup> ${szdd_folder}/qvsetup.exe
  COMMAND ${KESTRUNE_MSCOMPRESS} ${szdd_folder}/qvsetup.exe
  COMMAND ${CMAKE_COMMAND} -E rename ${szdd_folder}/qvsetup.exe_ ${szdd_file}
  COMMAND printf e | dd of=${szdd_file} bs=1 seek=9 conv=notrunc status=none
  COMMAND ${CMAKE_COMMAND} -E remove ${szdd_folder}/qvsetup.exe
  DEPENDS qvsetup
  COMMENT "Compressing qvsetup.exe into qvsetup.ex_"
  VERBATIM)
add_custom_target(qvsetup_szdd DEPENDS ${szdd_file})

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/qvsetup/replacement_resource.rc.in
               ${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc @ONLY)
add_library(kestrune_replacement_resource OBJECT ${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc)
add_dependencies(kestrune_replacement_resource qvsetup_szdd)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/replacement_resource.rc PROPERTIES OBJECT_DEPENDS ${szdd_file})
set(KESTRUNE_QVSETUP_SZDD ${szdd_file} CACHE INTERNAL "qvsetup.exe in the SZDD format")
