# Runs one pile_replay session and compares what it writes with the expected files.
#   -DREPLAY=<pile_replay> -DSESSION=<dir/NAME.tsv> -DWORK_DIR=<folder for the actual output>
#   [-DEMULATOR=<wine>]  when pile_replay was cross-compiled
get_filename_component(name "${SESSION}" NAME_WE)
get_filename_component(dir "${SESSION}" DIRECTORY)
set(actual_out "${WORK_DIR}/${name}.actual.out")
set(actual_err "${WORK_DIR}/${name}.actual.err")

execute_process(COMMAND ${EMULATOR} "${REPLAY}"
    INPUT_FILE "${SESSION}"
    OUTPUT_FILE "${actual_out}"
    ERROR_FILE "${actual_err}"
    RESULT_VARIABLE status)

if(EXISTS "${dir}/${name}.err")
    set(expected_status 2)
    set(expected_err "${dir}/${name}.err")
    set(expected_out "${WORK_DIR}/${name}.empty")
    file(WRITE "${expected_out}" "")
else()
    set(expected_status 0)
    set(expected_err "${WORK_DIR}/${name}.empty")
    set(expected_out "${dir}/${name}.out")
    file(WRITE "${expected_err}" "")
endif()

set(failed FALSE)
if(NOT status STREQUAL expected_status)
    message(SEND_ERROR "${name}: exit status ${status}, expected ${expected_status}")
    set(failed TRUE)
endif()
foreach(stream out err)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
        "${expected_${stream}}" "${actual_${stream}}" RESULT_VARIABLE differs)
    if(differs)
        message(SEND_ERROR "${name}: standard ${stream} differs from ${expected_${stream}}; "
                           "it was written to ${actual_${stream}}")
        set(failed TRUE)
        find_program(DIFF diff)
        if(DIFF)
            execute_process(COMMAND ${DIFF} -u "${expected_${stream}}" "${actual_${stream}}")
        endif()
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "${name}: failed")
endif()
