# cmake -DRUNNER=... -DSCRIPT=x.scenario -DEXPECTED=x.log -DACTUAL=out.log -P run_scenario.cmake
foreach(var RUNNER SCRIPT EXPECTED ACTUAL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_scenario.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected log ${EXPECTED}")
endif()

set(expected_exit 0)
file(STRINGS ${SCRIPT} directive REGEX "^# expect-exit: [0-9]+$")
if(directive)
  string(REGEX REPLACE "^# expect-exit: " "" expected_exit "${directive}")
endif()

execute_process(COMMAND ${RUNNER}
  INPUT_FILE ${SCRIPT}
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 100)
get_filename_component(actual_dir ${ACTUAL} DIRECTORY)
file(MAKE_DIRECTORY ${actual_dir})
file(WRITE ${ACTUAL} "${actual}")
file(READ ${EXPECTED} expected)

set(failed FALSE)
if(NOT status STREQUAL expected_exit)
  message("exit status ${status}, expected ${expected_exit}")
  set(failed TRUE)
endif()
if(NOT actual STREQUAL expected)
  message("the log differs from ${EXPECTED} (actual: ${ACTUAL})")
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${EXPECTED} ${ACTUAL})
  else()
    message("${actual}")
  endif()
  set(failed TRUE)
endif()
if(failed)
  if(errors)
    message("standard error:\n${errors}")
  endif()
  message(FATAL_ERROR "scenario failed: ${SCRIPT}")
endif()
