# One bounded fuzz run: copies the committed seed corpus to a scratch folder, runs the
# target over it for SECONDS and fails on any finding (the crashing input is written
# into WORK/ and named in the log).
#   cmake -DFUZZER=<exe> -DCORPUS=<seed folder> -DWORK=<scratch folder> -DSECONDS=<n> -P RunFuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${CORPUS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
          -artifact_prefix=${WORK}/ ${WORK}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${WORK}/")
endif()
