# Runs "tarnwake-lyr contains" on two points and checks both answers, then on a bad line.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/contains-input.txt "4.0 56.0\n9.0 56.0\n")
execute_process(COMMAND ${PROGRAM} contains ${LAYER}
                INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/contains-input.txt
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tarnwake-lyr contains failed (${rc}): ${out}")
endif()
if(NOT out STREQUAL "0\n1\n")
    message(FATAL_ERROR "expected sea then land, got: ${out}")
endif()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/contains-bad.txt "4.0 fifty-six\n")
execute_process(COMMAND ${PROGRAM} contains ${LAYER}
                INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/contains-bad.txt
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(rc EQUAL 0 OR NOT err MATCHES "line 1")
    message(FATAL_ERROR "a bad line must fail naming the line: ${rc} ${err}")
endif()
