# Builds the fuzz target with clang, makes the seed corpus and fuzzes for a bounded time.
# Variables: CLANGXX, SOURCE_DIR, WORK_DIR, SEED_TOOL, SECONDS.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}")
    endif()
endfunction()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    -DCMAKE_CXX_COMPILER=${CLANGXX})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
file(REMOVE_RECURSE ${WORK_DIR}/seeds)
file(MAKE_DIRECTORY ${WORK_DIR}/seeds ${WORK_DIR}/corpus)
run(${SEED_TOOL} ${WORK_DIR}/seeds)
run(${WORK_DIR}/build/fuzz_livephoto -max_total_time=${SECONDS} -max_len=65536 -timeout=10
    ${WORK_DIR}/corpus ${WORK_DIR}/seeds)
