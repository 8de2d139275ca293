# One ctest run of a fuzz target: cmake -DFUZZER=<exe> -DCORPUS=<seeds> -DSCRATCH=<folder> -DSECONDS=<n> -P RunFuzzer.cmake
# libFuzzer adds every new input to its first corpus folder, so it works on a fresh copy of the seeds.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus ${SCRATCH}/artifacts)
file(GLOB seeds ${CORPUS}/*)
file(COPY ${seeds} DESTINATION ${SCRATCH}/corpus)
execute_process(COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=4096 -timeout=10 -print_final_stats=1
                        -artifact_prefix=${SCRATCH}/artifacts/ ${SCRATCH}/corpus
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${FUZZER} ended with ${status}; the failing input is in ${SCRATCH}/artifacts")
endif()
