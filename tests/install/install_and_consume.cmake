# Installs the built library into a scratch prefix, then configures, builds and runs a
# separate project that uses find_package(tambergui).
set(prefix ${BUILD_DIR}/install-test/prefix)
set(consumer_build ${BUILD_DIR}/install-test/consumer)
file(REMOVE_RECURSE ${BUILD_DIR}/install-test)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${consumer_build}
  -DCMAKE_PREFIX_PATH=${prefix} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${consumer_build} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer build failed")
endif()
execute_process(COMMAND ${consumer_build}/consumer RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer run failed")
endif()
