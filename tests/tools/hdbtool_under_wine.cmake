# hdbtool.exe under Wine: it verifies the shipped package, builds the fixture tree into a
# package that lists as the golden file byte for byte (so the Windows code page conversion
# matches the Linux one), and refuses a character code page 936 lacks. Wine sees the Unix root
# as drive Z:.

function(run_hdbtool result_var out_var err_var)
  execute_process(COMMAND ${WINE_RUN} ${HDBTOOL} ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result_var} "${result}" PARENT_SCOPE)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

run_hdbtool(result out err verify Z:${SHIPPED_PACKAGE})
if(NOT result EQUAL 0 OR NOT out MATCHES "^OK: ")
  message(FATAL_ERROR "hdbtool.exe verify of the shipped package failed (${result}):\n${out}${err}")
endif()

run_hdbtool(result out err build Z:${FIXTURE_FOLDER}/signatures Z:${SCRATCH}/fixture.hdb3)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "hdbtool.exe build of the fixture tree failed (${result}):\n${err}")
endif()
execute_process(COMMAND ${WINE_RUN} ${HDBTOOL} dump Z:${SCRATCH}/fixture.hdb3
  OUTPUT_FILE ${SCRATCH}/fixture.dump RESULT_VARIABLE result)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/fixture.dump ${FIXTURE_FOLDER}/signatures.dump
  RESULT_VARIABLE different)
if(NOT result EQUAL 0 OR different)
  message(FATAL_ERROR "hdbtool.exe dump of the fixture differs from ${FIXTURE_FOLDER}/signatures.dump "
                      "(see ${SCRATCH}/fixture.dump)")
endif()

# U+1F600 has no form in code page 936: it must be refused, not written as a question mark.
file(WRITE ${SCRATCH}/tree/SW/a.sig "KEY: SW-A\nLI: A|Photo Tools|1.0|5.1|-|32\nFL: A😀\n")
run_hdbtool(result out err build Z:${SCRATCH}/tree Z:${SCRATCH}/refused.hdb3)
if(result EQUAL 0 OR NOT err MATCHES "has no form in code page 936" OR EXISTS ${SCRATCH}/refused.hdb3)
  message(FATAL_ERROR "hdbtool.exe built a package from text code page 936 lacks (${result}):\n${err}")
endif()

file(REMOVE_RECURSE ${SCRATCH})
