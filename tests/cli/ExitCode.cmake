# Runs a command of the runner and checks its exit code, and optionally that its output
# (standard output and error together) matches a pattern.
# With EXPECT_ONCE, that text must appear exactly once.
#   cmake -DCOMMAND="a;b;c" -DEXPECT_CODE=2 [-DEXPECT_OUTPUT=regex] [-DEXPECT_ONCE=text]
#         -P ExitCode.cmake
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL EXPECT_CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_CODE}\n${out}\n${err}")
endif()
if(DEFINED EXPECT_OUTPUT AND NOT "${out}${err}" MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "output does not match ${EXPECT_OUTPUT}:\n${out}\n${err}")
endif()
if(DEFINED EXPECT_ONCE)
    string(REPLACE "${EXPECT_ONCE}" "" rest "${out}${err}")
    string(LENGTH "${out}${err}" all)
    string(LENGTH "${rest}" left)
    string(LENGTH "${EXPECT_ONCE}" one)
    math(EXPR times "(${all} - ${left}) / ${one}")
    if(NOT times EQUAL 1)
        message(FATAL_ERROR "\"${EXPECT_ONCE}\" appears ${times} times, not once:\n${out}\n${err}")
    endif()
endif()
