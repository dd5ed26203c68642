# cmake -DPROGRAM=path [-DARGS="arguments"] -DINPUT=file -DEXPECTED=file -DACTUAL=file
#       [-DSTATUS_FILE=file] [-DSTATUS_LINE=prefix] -P run_golden.cmake
#
# Runs PROGRAM with INPUT on standard input and keeps its standard output in
# ACTUAL. Fails unless that output equals EXPECTED byte for byte and the exit
# status is the expected one: the number in STATUS_FILE when that file
# exists, else the number after STATUS_LINE on a line of INPUT, else 0. A
# run that fails on purpose must name the bad line ("line N") on standard
# error, and a run that succeeds must write nothing there: a failure the
# output does not show is still a failure. A mismatch shows the difference
# and standard error.
foreach(var PROGRAM INPUT EXPECTED ACTUAL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_golden.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${EXPECTED}")
  message(FATAL_ERROR "no expected output ${EXPECTED}")
endif()

set(expected_status 0)
if(DEFINED STATUS_FILE AND EXISTS "${STATUS_FILE}")
  file(READ "${STATUS_FILE}" expected_status)
  string(STRIP "${expected_status}" expected_status)
elseif(DEFINED STATUS_LINE)
  string(LENGTH "${STATUS_LINE}" prefix_length)
  file(STRINGS "${INPUT}" input_lines)
  foreach(input_line IN LISTS input_lines)
    string(FIND "${input_line}" "${STATUS_LINE}" at)
    if(at EQUAL 0)
      string(SUBSTRING "${input_line}" ${prefix_length} -1 expected_status)
      string(STRIP "${expected_status}" expected_status)
      break()
    endif()
  endforeach()
endif()
if(NOT expected_status MATCHES "^[0-9]+$")
  message(FATAL_ERROR "not an exit status: '${expected_status}'")
endif()

separate_arguments(arguments UNIX_COMMAND "${ARGS}")
get_filename_component(actual_dir "${ACTUAL}" DIRECTORY)
file(MAKE_DIRECTORY "${actual_dir}")
execute_process(COMMAND "${PROGRAM}" ${arguments}
                INPUT_FILE "${INPUT}"
                OUTPUT_FILE "${ACTUAL}"
                ERROR_VARIABLE errors
                RESULT_VARIABLE status
                TIMEOUT 100)

set(problems "")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ACTUAL}" "${EXPECTED}"
                RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
if(differs)
  string(APPEND problems "the output differs from ${EXPECTED} (actual: ${ACTUAL})\n")
endif()
if(NOT status STREQUAL expected_status)
  string(APPEND problems "exit status ${status}, expected ${expected_status}\n")
elseif(NOT status EQUAL 0 AND NOT errors MATCHES "line [0-9]+")
  string(APPEND problems "the bad line is not named on standard error\n")
elseif(status EQUAL 0 AND NOT errors STREQUAL "")
  string(APPEND problems "unexpected output on standard error\n")
endif()
if(problems STREQUAL "")
  return()
endif()

message("${problems}")
if(differs)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND "${DIFF}" -u "${EXPECTED}" "${ACTUAL}")
  else()
    file(READ "${ACTUAL}" got)
    message("${got}")
  endif()
endif()
if(NOT errors STREQUAL "")
  message("standard error:\n${errors}")
endif()
message(FATAL_ERROR "golden test failed: ${INPUT}")
