# A shipped scenario with one of the player's forces handed to the computer, as a modder's copy
# in Custom Files would hand it: that force's divisions report by signal, so the contact reports
# they send reach the player, and the runner prints them as they arrive.
#   cmake -DCLI=<tarnwake-cli> -DGAME_DIR=<data> -DSCENARIO=<name> -DFORCE=<force name>
#         -DSIDE=<0|1> -DMINUTES=<n> -DWORK_DIR=<dir> -P HandedOverForce.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(READ "${GAME_DIR}/Scenarios/${SCENARIO}.nsc" text)
# The force's own section runs from its name to the next section header.
string(REGEX REPLACE "(\nName=${FORCE}\n[^[]*\nAIControl=)0" "\\11" handed "${text}")
if(handed STREQUAL text)
    message(FATAL_ERROR "${SCENARIO}: no force ${FORCE} under the player's command")
endif()
file(WRITE "${WORK_DIR}/Custom Files/${SCENARIO}.nsc" "${handed}")
execute_process(COMMAND ${CLI} --seed 1 --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}
                        run "Scenarios/${SCENARIO}.nsc" --side ${SIDE} --minutes ${MINUTES}
                RESULT_VARIABLE ran OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT ran EQUAL 0)
    message(FATAL_ERROR "run failed (${ran}):\n${out}\n${err}")
endif()
string(REGEX MATCHALL "\n[0-9][0-9]:[0-9][0-9] Contact report from [^\n]*" reports "${out}")
list(LENGTH reports count)
if(count EQUAL 0)
    message(FATAL_ERROR "no contact report reached the player:\n${out}")
endif()
list(JOIN reports "" printed)
message(STATUS "${count} contact reports reached the player:${printed}")
