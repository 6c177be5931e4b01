# Runs talvo-edid.exe through the emulator (Wine) in a folder of its own,
# against the stand-in SiUSBXp.dll beside it, and fails unless the exit
# status and both outputs are the expected ones. Lists use '|' between items.
#   cmake -DEMULATOR=<wine> -DTOOL=<talvo-edid.exe> -DFOLDER=<folder>
#         -DFAULTS=<fault script lines> -DSETUP=<arguments of a first run>
#         -DARGUMENTS=<arguments> -DSTATUS=<exit status>
#         -DOUTPUT=<regex of standard output> -DERRORS=<regex of standard error>
#         -P RunTalvoEdid.cmake

file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
string(REPLACE "|" "\n" faults "${FAULTS}")
file(WRITE ${FOLDER}/faults.txt "${faults}\n")
# Relative to the folder, which is the tool's working directory: Windows
# programs under Wine do not read the host's paths. The faults are the run
# under test's alone: the set-up run gets a healthy unit, so that a fault
# meant for a write's chunk cannot corrupt the table read before it.
set(ENV{SIUSBXP_SIM_STATE} unit.state)
set(ENV{SIUSBXP_SIM_LOG} requests.log)

function(run_tool line)
    string(REPLACE "|" ";" arguments "${line}")
    execute_process(COMMAND ${EMULATOR} ${TOOL} ${arguments}
                    WORKING_DIRECTORY ${FOLDER}
                    RESULT_VARIABLE status
                    OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    message("talvo-edid ${arguments}: exit ${status}\n--- stdout\n${out}--- stderr\n${err}")
    set(status "${status}" PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

if(SETUP)
    run_tool("${SETUP}")
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "the set-up run failed")
    endif()
endif()
set(ENV{SIUSBXP_SIM_FAULTS} faults.txt)
run_tool("${ARGUMENTS}")
if(NOT status EQUAL STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
if(NOT out MATCHES "${OUTPUT}")
    message(FATAL_ERROR "standard output does not match ${OUTPUT}")
endif()
if(NOT err MATCHES "${ERRORS}")
    message(FATAL_ERROR "standard error does not match ${ERRORS}")
endif()
