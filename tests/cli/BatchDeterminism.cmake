# A batch's runs depend on their seeds alone: four runs played in one job and in two give the
# same batch file byte for byte; three shards merged give it too; and each run is the game that
# `run` plays with its seed (the same state digest at the end).
#   cmake -DCLI=tarnwake-cli -DGAME_DIR=data -DSCENARIO=Scenarios/Coronel.nsc -DWORK_DIR=dir
#         -P BatchDeterminism.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(first_seed 21)
set(minutes 120)
set(common ${CLI} --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}/user --seed ${first_seed}
           batch ${SCENARIO} --runs 4 --minutes ${minutes} --level historical)

function(run_cli)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "${ARGN}\nexit code ${code}\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

function(same a b what)
    file(READ ${a} left)
    file(READ ${b} right)
    if(NOT left STREQUAL right)
        message(FATAL_ERROR "${what}: ${a} and ${b} differ")
    endif()
endfunction()

run_cli(${common} --jobs 1 --json ${WORK_DIR}/one.json)
run_cli(${common} --jobs 2 --json ${WORK_DIR}/two.json --report ${WORK_DIR}/two.html)
same(${WORK_DIR}/one.json ${WORK_DIR}/two.json "one job against two")

set(shards)
foreach(k 1 2 3)
    run_cli(${common} --jobs 2 --shard ${k}/3 --json ${WORK_DIR}/shard${k}.json)
    list(APPEND shards ${WORK_DIR}/shard${k}.json)
endforeach()
run_cli(${CLI} merge ${WORK_DIR}/shard3.json ${WORK_DIR}/shard1.json ${WORK_DIR}/shard2.json
        --json ${WORK_DIR}/merged.json --report ${WORK_DIR}/merged.html)
same(${WORK_DIR}/one.json ${WORK_DIR}/merged.json "three shards merged against the whole batch")
same(${WORK_DIR}/two.html ${WORK_DIR}/merged.html "the reports of the two")

# The third run is seed 23: `run` with that seed ends in the same state.
file(READ ${WORK_DIR}/one.json batch)
string(REGEX MATCHALL "\"digest\": \"[0-9a-f]+\"" digests "${batch}")
list(LENGTH digests count)
if(NOT count EQUAL 4)
    message(FATAL_ERROR "4 runs expected in the batch file, found ${count} digests")
endif()
list(GET digests 2 third)
string(REGEX REPLACE ".*\"([0-9a-f]+)\"" "\\1" third "${third}")
math(EXPR seed "${first_seed} + 2")
run_cli(${CLI} --game-dir ${GAME_DIR} --user-dir ${WORK_DIR}/user --seed ${seed}
        run ${SCENARIO} --minutes ${minutes} --level historical --digest)
if(NOT out MATCHES "Digest at minute [0-9]+: ${third}\n")
    message(FATAL_ERROR "run --seed ${seed} does not end in the batch's digest ${third}:\n${out}")
endif()
