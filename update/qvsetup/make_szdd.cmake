# cmake -DMSCOMPRESS=mscompress -DINPUT=dir/qvsetup.exe -DOUTPUT=dir/qvsetup.ex_ -P make_szdd.cmake
# Compresses INPUT in the SZDD format that LZ32 expands. mscompress leaves the header's stored
# last character of the name (byte 9) empty; it becomes the last character of INPUT's name, so
# that GetExpandedNameA turns qvsetup.ex_ back into qvsetup.exe. The header is checked before
# OUTPUT is put in place: "SZDD" 0x88 0xF0 0x27 0x33, "A", that character, INPUT's length.
foreach(variable MSCOMPRESS INPUT OUTPUT)
  if(NOT ${variable})
    message(FATAL_ERROR "make_szdd: ${variable} is not given")
  endif()
endforeach()
get_filename_component(name "${INPUT}" NAME)
string(LENGTH "${name}" name_length)
math(EXPR last_index "${name_length} - 1")
string(SUBSTRING "${name}" ${last_index} 1 last_character)

get_filename_component(output_folder "${OUTPUT}" DIRECTORY)
set(work "${output_folder}/szdd_work")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
file(COPY "${INPUT}" DESTINATION "${work}")
execute_process(COMMAND "${MSCOMPRESS}" "${work}/${name}" RESULT_VARIABLE result ERROR_VARIABLE error)
set(compressed "${work}/${name}_")
if(NOT result EQUAL 0 OR NOT EXISTS "${compressed}")
  message(FATAL_ERROR "make_szdd: mscompress failed on ${INPUT}: ${error}")
endif()

# CMake writes no binary files, so dd puts the one byte in place.
file(WRITE "${work}/last_character" "${last_character}")
execute_process(COMMAND dd "if=${work}/last_character" "of=${compressed}" bs=1 seek=9 count=1 conv=notrunc status=none
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_szdd: cannot set the name's last character in ${compressed}: ${error}")
endif()

file(SIZE "${INPUT}" size)
set(length_bytes "")
foreach(shift 0 8 16 24)
  math(EXPR byte "(${size} >> ${shift}) & 255" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "" byte "${byte}")
  string(LENGTH "${byte}" byte_length)
  if(byte_length EQUAL 1)
    set(byte "0${byte}")
  endif()
  string(APPEND length_bytes "${byte}")
endforeach()
string(HEX "${last_character}" last_character_hex)
file(READ "${compressed}" header LIMIT 14 HEX)
set(expected "535a444488f0273341${last_character_hex}${length_bytes}")
if(NOT header STREQUAL expected)
  message(FATAL_ERROR "make_szdd: ${compressed} starts with ${header}, expected ${expected}")
endif()
file(RENAME "${compressed}" "${OUTPUT}")
file(REMOVE_RECURSE "${work}")
