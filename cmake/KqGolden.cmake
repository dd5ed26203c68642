# kq_add_golden_test(NAME PROGRAM program [ARGS "arguments"] INPUT file
#                    EXPECTED file ACTUAL file [STATUS_FILE file]
#                    [STATUS_LINE prefix])
# One test that feeds INPUT to a program and compares its standard output,
# byte for byte, with EXPECTED; run_golden.cmake says how the exit status and
# standard error are judged.
set(KQ_GOLDEN_RUNNER ${CMAKE_CURRENT_LIST_DIR}/run_golden.cmake)

function(kq_add_golden_test name)
  cmake_parse_arguments(ARG "" "PROGRAM;ARGS;INPUT;EXPECTED;ACTUAL;STATUS_FILE;STATUS_LINE" ""
                        ${ARGN})
  foreach(required PROGRAM INPUT EXPECTED ACTUAL)
    if(NOT ARG_${required})
      message(FATAL_ERROR "kq_add_golden_test(${name}) needs ${required}")
    endif()
  endforeach()
  set(definitions -DPROGRAM=${ARG_PROGRAM} -DINPUT=${ARG_INPUT} -DEXPECTED=${ARG_EXPECTED}
                  -DACTUAL=${ARG_ACTUAL})
  foreach(optional ARGS STATUS_FILE STATUS_LINE)
    if(DEFINED ARG_${optional})
      list(APPEND definitions "-D${optional}=${ARG_${optional}}")
    endif()
  endforeach()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} ${definitions} -P ${KQ_GOLDEN_RUNNER})
endfunction()
