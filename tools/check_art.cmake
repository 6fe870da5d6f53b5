# Runs the generators into SCRATCH. Every file make_art writes must equal its copy in SOURCE.
# The preview picture comes from the saver's display logic, which its own subsystem may still
# tune, so here it only has to render: a 152 x 112 24-bit BMP.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/static ${SCRATCH}/rendered)
execute_process(COMMAND ${MAKE_ART} ${SCRATCH}/static RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_art failed: ${result}")
endif()
file(GLOB generated RELATIVE ${SCRATCH}/static ${SCRATCH}/static/*)
foreach(name ${generated})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/static/${name} ${SOURCE}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "resources/art/${name} is not what the generators write now; "
                        "run: cmake --build --preset native --target art")
  endif()
endforeach()

execute_process(COMMAND ${RENDER_PREVIEW} ${SCRATCH}/rendered RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "render_preview failed: ${result}")
endif()
file(SIZE ${SCRATCH}/rendered/preview.bmp size)
if(NOT size EQUAL 51126)
  message(FATAL_ERROR "render_preview wrote ${size} bytes, not a 152 x 112 24-bit BMP")
endif()
