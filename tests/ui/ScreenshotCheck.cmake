# Runs the desktop program with --screenshot and checks that a PNG picture came out.
file(REMOVE ${SHOT})
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM ${PROGRAM} --screenshot ${SHOT} --size 900x650
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tarnwake --screenshot failed (${rc}): ${out} ${err}")
endif()
if(NOT EXISTS ${SHOT})
    message(FATAL_ERROR "no picture written to ${SHOT}")
endif()
file(READ ${SHOT} header LIMIT 8 HEX)
if(NOT header STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${SHOT} is not a PNG file (header ${header})")
endif()
