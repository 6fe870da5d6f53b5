# Runs the generators into SCRATCH and compares every file they write with its copy in SOURCE.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${MAKE_ART} ${SCRATCH} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_art failed: ${result}")
endif()
file(GLOB generated RELATIVE ${SCRATCH} ${SCRATCH}/*)
foreach(name ${generated})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/${name} ${SOURCE}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "resources/art/${name} is not what the generators write now; "
                        "run: cmake --build --preset native --target art")
  endif()
endforeach()
