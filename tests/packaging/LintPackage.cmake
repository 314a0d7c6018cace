# Builds the Debian package into a folder of its own and fails when lintian
# reports an error. Run with -DBINARY_DIR=<build folder> -DLINTIAN=<lintian>.
set(out ${BINARY_DIR}/package-check)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BINARY_DIR}/CPackConfig.cmake -G DEB -B ${out}
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${out}/*.deb)
if(NOT debs)
  message(FATAL_ERROR "cpack made no package:\n${log}")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error ${debs} RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
message("${report}")
file(REMOVE_RECURSE ${out})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian reports errors")
endif()
