# Configures a small project that adds this one with add_subdirectory, and fails unless the
# libraries are defined with this project's own folders. Run with cmake -P, given
#   FLN_SOURCE_DIR  this project's source folder
#   WORK_DIR        an empty folder to configure in
#   GENERATOR, C_COMPILER, CXX_COMPILER  as the enclosing build uses

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/CMakeLists.txt "
cmake_minimum_required(VERSION 3.20)
project(Enclosing LANGUAGES C CXX)
add_subdirectory(\"${FLN_SOURCE_DIR}\" formulon)
foreach(target fln_base fln_gdi fln_display fln_user fln_mfc)
  if(NOT TARGET \${target})
    message(FATAL_ERROR \"\${target} is not defined\")
  endif()
endforeach()
get_target_property(includes fln_base INTERFACE_INCLUDE_DIRECTORIES)
if(NOT includes STREQUAL \"${FLN_SOURCE_DIR}\")
  message(FATAL_ERROR \"headers are included from '\${includes}'\")
endif()
if(NOT EXISTS \"\${CMAKE_BINARY_DIR}/formulon/res/fonts.conf\")
  message(FATAL_ERROR \"the font configuration is not in the project's build folder\")
endif()
")
execute_process(
  COMMAND ${CMAKE_COMMAND} -G ${GENERATOR} -S ${WORK_DIR} -B ${WORK_DIR}/build -DFLN_TESTS=OFF
    -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Configuring as a subproject failed:\n${output}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "Configured as a subproject")
