# cmake -DTOOL=kq-cascade -DSCRIPT=x.script -DOUTPUT=x.out -P run_script.cmake
# Runs the script through `kq-cascade --script`; fails unless standard output
# equals x.expected byte for byte and the exit status equals x.status (or 0).
# A non-zero status must come with a message naming the line on standard error.
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
set(expected ${dir}/${name}.expected)
set(expected_status 0)
if(EXISTS ${dir}/${name}.status)
  file(READ ${dir}/${name}.status expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()

get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${TOOL} --script
                INPUT_FILE ${SCRIPT}
                OUTPUT_FILE ${OUTPUT}
                ERROR_VARIABLE errors
                RESULT_VARIABLE status
                TIMEOUT 30)

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${expected}
                RESULT_VARIABLE differs)
if(differs)
  file(READ ${OUTPUT} got)
  file(READ ${expected} want)
  message(FATAL_ERROR "${name}: output differs\n--- expected\n${want}--- got\n${got}--- stderr\n${errors}")
endif()
if(NOT status STREQUAL expected_status)
  message(FATAL_ERROR "${name}: exit status ${status}, expected ${expected_status}\n${errors}")
endif()
if(NOT status EQUAL 0 AND NOT errors MATCHES "line [0-9]+")
  message(FATAL_ERROR "${name}: the bad line is not named on standard error: ${errors}")
endif()
if(status EQUAL 0 AND NOT errors STREQUAL "")
  message(FATAL_ERROR "${name}: unexpected standard error: ${errors}")
endif()
