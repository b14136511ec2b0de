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

# MATLAB's interrupt check (utIsInterruptPending, for Ctrl-C during a read) is in libut, which
# lies beside libmx and which matlab_add_mex does not link by itself.
get_filename_component(_matlab_mx_dir "${Matlab_MX_LIBRARY}" DIRECTORY)
find_library(IONEX_MATLAB_UT_LIBRARY NAMES ut libut HINTS ${_matlab_mx_dir} NO_DEFAULT_PATH)
if(NOT IONEX_MATLAB_UT_LIBRARY)
  message(STATUS "MATLAB module: libut not found beside ${Matlab_MX_LIBRARY}, module not built")
  return()
endif()

matlab_add_mex(
  NAME vornakelstrid_p_matlab
  OUTPUT_NAME vornakelstrid_p
  SRC ${IONEX_GATEWAY_SOURCES}
  LINK_TO ionex_core ${IONEX_MATLAB_UT_LIBRARY})
target_include_directories(vornakelstrid_p_matlab PRIVATE ${CMAKE_SOURCE_DIR}/src/gateway)
set_target_properties(vornakelstrid_p_matlab PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/matlab)

set(_help_file ${CMAKE_SOURCE_DIR}/src/gateway/vornakelstrid/vornakelstrid_p.m)
if(EXISTS ${_help_file})
  add_custom_command(TARGET vornakelstrid_p_matlab POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help_file} ${CMAKE_BINARY_DIR}/matlab/vornakelstrid_p.m
    VERBATIM)
endif()
message(STATUS "MATLAB module: ${CMAKE_BINARY_DIR}/matlab/vornakelstrid_p.${Matlab_MEX_EXTENSION}")

# The +ionex package: +ionex/<name>.<mexext> for every entry registered with
# ionex_package_entry in src/gateway, beside the help files of src/gateway/ionex_package/+ionex.
set(IONEX_MATLAB_PACKAGE_TARGETS "")
function(ionex_add_matlab_package_entry name source)
  set(_target ionex_${name}_matlab)
  matlab_add_mex(
    NAME ${_target}
    OUTPUT_NAME ${name}
    SRC ${source} ${IONEX_PACKAGE_HELPER_SOURCES}
    LINK_TO ionex_core ${IONEX_MATLAB_UT_LIBRARY})
  target_include_directories(${_target} PRIVATE ${CMAKE_SOURCE_DIR}/src/gateway)
  set_target_properties(${_target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/matlab/+ionex)
  set(IONEX_MATLAB_PACKAGE_TARGETS ${IONEX_MATLAB_PACKAGE_TARGETS} ${_target} PARENT_SCOPE)
endfunction()

get_property(_package_entries GLOBAL PROPERTY IONEX_PACKAGE_ENTRIES)
foreach(_entry IN LISTS _package_entries)
  string(REPLACE "|" ";" _entry "${_entry}")
  list(GET _entry 0 _name)
  list(GET _entry 1 _source)
  ionex_add_matlab_package_entry(${_name} ${_source})
endforeach()
# The help files, ionex.plot and the coastline data it draws (private/).
file(GLOB _package_help_files ${IONEX_PACKAGE_HELP_DIR}/*.m ${IONEX_PACKAGE_HELP_DIR}/private/*)
foreach(_help IN LISTS _package_help_files)
  file(RELATIVE_PATH _n ${IONEX_PACKAGE_HELP_DIR} ${_help})
  configure_file(${_help} ${CMAKE_BINARY_DIR}/matlab/+ionex/${_n} COPYONLY)
endforeach()
message(STATUS "MATLAB +ionex package: ${CMAKE_BINARY_DIR}/matlab/+ionex")
