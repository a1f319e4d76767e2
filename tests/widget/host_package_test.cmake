# Installs the development files of the build into a fresh prefix, then
# configures and builds examples/host against that prefix alone.
function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${step} failed (${status})")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --component Development --prefix ${prefix})

set(options -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
if(BUILD_TYPE)
  list(APPEND options -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
endif()
if(SANITIZE)
  # The installed libraries carry the sanitizers' instrumentation.
  list(APPEND options "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined"
       "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined")
endif()
run("configure" ${CMAKE_COMMAND} -S ${HOST_SOURCE} -B ${WORK_DIR}/build -G ${GENERATOR} ${options})
run("build" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
