# Runs a command of the runner and checks its exit code, and optionally that its output
# (standard output and error together) matches a pattern.
#   cmake -DCOMMAND="a;b;c" -DEXPECT_CODE=2 [-DEXPECT_OUTPUT=regex] -P ExitCode.cmake
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL EXPECT_CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_CODE}\n${out}\n${err}")
endif()
if(DEFINED EXPECT_OUTPUT AND NOT "${out}${err}" MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "output does not match ${EXPECT_OUTPUT}:\n${out}\n${err}")
endif()
