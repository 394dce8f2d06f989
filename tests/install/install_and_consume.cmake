# Installs the built library into a scratch prefix, then configures, builds and runs two
# separate projects against it with find_package(tambergui): a consumer that compiles every
# installed header (a header that needs one left out of the install fails here) and the
# examples, each run headless until its own timer ends it.
set(prefix ${BUILD_DIR}/install-test/prefix)
set(consumer_build ${BUILD_DIR}/install-test/consumer)
set(examples_build ${BUILD_DIR}/install-test/examples)
file(REMOVE_RECURSE ${BUILD_DIR}/install-test)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc})")
  endif()
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT EXISTS ${prefix}/share/tambergui/fonts/Vera.ttf)
  message(FATAL_ERROR "the default font was not installed with the package")
endif()

# One translation unit that includes every installed header.
file(GLOB_RECURSE headers RELATIVE ${prefix}/include/tambergui ${prefix}/include/tambergui/*.h)
set(header_source ${BUILD_DIR}/install-test/all_headers.cpp)
file(WRITE ${header_source} "")
foreach(h ${headers})
  file(APPEND ${header_source} "#include \"${h}\"\n")
endforeach()

run("consumer configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${consumer_build}
  -DCMAKE_PREFIX_PATH=${prefix} -DHEADER_SOURCE=${header_source})
run("consumer build" ${CMAKE_COMMAND} --build ${consumer_build} -j2)
run("consumer run" ${consumer_build}/consumer)

run("examples configure" ${CMAKE_COMMAND} -S ${EXAMPLES_DIR} -B ${examples_build}
  -DCMAKE_PREFIX_PATH=${prefix})
run("examples build" ${CMAKE_COMMAND} --build ${examples_build} -j2)
foreach(example hello form dialog)
  run("example ${example}" ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen
    SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy
    ${examples_build}/${example} --quit-after 300)
endforeach()
