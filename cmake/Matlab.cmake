# The MEX module for MATLAB, built with FindMatlab's matlab_add_mex when a MATLAB
# installation is found. Without MATLAB this file does nothing and says nothing.

if(NOT IONEX_BUILD_MATLAB OR IONEX_SANITIZE)
  return()
endif()

if(NOT DEFINED IONEX_GATEWAY_SOURCES AND EXISTS ${CMAKE_SOURCE_DIR}/src/gateway/CMakeLists.txt)
  get_directory_property(IONEX_GATEWAY_SOURCES
    DIRECTORY ${CMAKE_SOURCE_DIR}/src/gateway DEFINITION IONEX_GATEWAY_SOURCES)
endif()
if(NOT IONEX_GATEWAY_SOURCES OR NOT TARGET ionex_core)
  return()
endif()

find_package(Matlab QUIET COMPONENTS MX_LIBRARY)
if(NOT Matlab_FOUND)
  return()
endif()

matlab_add_mex(
  NAME vornakelstrid_p_matlab
  OUTPUT_NAME vornakelstrid_p
  SRC ${IONEX_GATEWAY_SOURCES}
  LINK_TO ionex_core)
set_target_properties(vornakelstrid_p_matlab PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/matlab)

set(_help_file ${CMAKE_SOURCE_DIR}/src/gateway/vornakelstrid_p.m)
if(EXISTS ${_help_file})
  add_custom_command(TARGET vornakelstrid_p_matlab POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help_file} ${CMAKE_BINARY_DIR}/matlab/vornakelstrid_p.m
    VERBATIM)
endif()
message(STATUS "MATLAB module: ${CMAKE_BINARY_DIR}/matlab/vornakelstrid_p.${Matlab_MEX_EXTENSION}")
