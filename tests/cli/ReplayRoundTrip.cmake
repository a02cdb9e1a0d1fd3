# A game run by the headless runner writes its replay; the runner plays it back to the same
# state digest, and a damaged replay is refused with the file and line.
#   cmake -DCLI=<tarnwake-cli> -DGAME_DIR=<data> -DSCENARIO=<file> -DWORK_DIR=<dir> -P ...
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(replay ${WORK_DIR}/game.twr)
execute_process(COMMAND ${CLI} --seed 3 --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}/user
                        run ${SCENARIO} --side 2 --minutes 25 --speed 5 --digest
                        --replay-out ${replay}
                RESULT_VARIABLE ran OUTPUT_VARIABLE run_output ERROR_VARIABLE run_errors)
if(NOT ran EQUAL 0)
    message(FATAL_ERROR "run failed (${ran}): ${run_errors}")
endif()
string(REGEX MATCH "Digest at minute 25: ([0-9a-f]+)" found "${run_output}")
if(NOT found)
    message(FATAL_ERROR "run printed no digest:\n${run_output}")
endif()
set(digest ${CMAKE_MATCH_1})

execute_process(COMMAND ${CLI} --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}/user replay ${replay}
                RESULT_VARIABLE replayed OUTPUT_VARIABLE replay_output ERROR_VARIABLE replay_errors)
if(NOT replayed EQUAL 0 OR NOT replay_output MATCHES "Digest at minute 25: ${digest}"
   OR NOT replay_output MATCHES "The replay matches the recorded game")
    message(FATAL_ERROR "replay (${replayed}) did not match ${digest}:\n${replay_output}\n"
                        "${replay_errors}")
endif()

file(READ ${replay} text)
string(REPLACE "minutes: 25" "minutes: soon" text "${text}")
file(WRITE ${WORK_DIR}/bad.twr "${text}")
execute_process(COMMAND ${CLI} --game-dir ${GAME_DIR} replay ${WORK_DIR}/bad.twr
                RESULT_VARIABLE bad ERROR_VARIABLE bad_errors OUTPUT_QUIET)
if(NOT bad EQUAL 2 OR NOT bad_errors MATCHES "bad.twr:[0-9]+: minutes must be")
    message(FATAL_ERROR "a damaged replay was not refused (${bad}): ${bad_errors}")
endif()
