# Runs the desktop program with --screenshot and checks that a PNG picture came out: first of
# the default scenario as it opens, then of a scenario run for some minutes, chart only. A
# picture run leaves the player's remembered window size alone: no Preferences file appears
# in the user folder it is given.
get_filename_component(work ${SHOT} DIRECTORY)
set(user ${work}/screenshot-user)
file(REMOVE_RECURSE ${user})
file(MAKE_DIRECTORY ${user})

function(check_picture)
    file(REMOVE ${SHOT})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                            --unset=QT_QPA_PLATFORM ${PROGRAM} --user-dir ${user} ${ARGN}
                            --screenshot ${SHOT} --size 900x650
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "tarnwake ${ARGN} --screenshot failed (${rc}): ${out} ${err}")
    endif()
    if(NOT EXISTS ${SHOT})
        message(FATAL_ERROR "no picture written to ${SHOT}")
    endif()
    file(READ ${SHOT} header LIMIT 8 HEX)
    if(NOT header STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${SHOT} is not a PNG file (header ${header})")
    endif()
endfunction()

check_picture()
check_picture(Scenarios/Coronel.nsc --side 2 --minutes 5 --chart-only)
if(EXISTS ${user}/Preferences)
    message(FATAL_ERROR "a picture run wrote the window size to ${user}/Preferences")
endif()
# A scenario that does not exist is an error, not an empty picture.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM ${PROGRAM} --user-dir ${user}
                        Scenarios/Nowhere.nsc --screenshot ${SHOT}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
if(rc EQUAL 0)
    message(FATAL_ERROR "a missing scenario gave a picture")
endif()
