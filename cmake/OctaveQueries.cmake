# ionex.interp and ionex.delay for GNU Octave: +ionex/interp.mex and +ionex/delay.mex in
# ${IONEX_OCTAVE_MODULE_DIR}, beside their help files, with the compile and link settings
# cmake/Octave.cmake worked out for vornakelstrid_p (included just before this file, in the
# same scope). Stands apart until the +ionex package entries are built by one function.

if(NOT IONEX_OCTAVE_TARGET OR NOT TARGET "${IONEX_OCTAVE_TARGET}" OR NOT IONEX_QUERY_GATEWAY_SOURCES)
  return()
endif()

set(_query_package_dir ${IONEX_OCTAVE_MODULE_DIR}/+ionex)
file(MAKE_DIRECTORY ${_query_package_dir})
foreach(_entry interp delay)
  set(_target ionex_${_entry}_octave)
  add_library(${_target} SHARED ${CMAKE_SOURCE_DIR}/src/gateway/ionex_${_entry}.cpp ${IONEX_QUERY_GATEWAY_SOURCES})
  target_include_directories(${_target} BEFORE PRIVATE ${_oct_incdir} ${_oct_incparent})
  target_include_directories(${_target} PRIVATE ${CMAKE_SOURCE_DIR}/src/gateway)
  target_link_libraries(${_target} PRIVATE ionex_query ${_oct_link_libs})
  # The gateway headers name the core's records; the core's include directory is enough.
  target_include_directories(${_target} PRIVATE ${CMAKE_SOURCE_DIR}/src/ionex)
  target_link_options(${_target} PRIVATE -Wl,-Bsymbolic)
  set_target_properties(${_target} PROPERTIES
    OUTPUT_NAME ${_entry} PREFIX "" SUFFIX ".mex" POSITION_INDEPENDENT_CODE ON
    LIBRARY_OUTPUT_DIRECTORY ${_query_package_dir})
  set(_help ${CMAKE_SOURCE_DIR}/src/gateway/+ionex/${_entry}.m)
  if(EXISTS ${_help})
    configure_file(${_help} ${_query_package_dir}/${_entry}.m COPYONLY)
    add_custom_command(TARGET ${_target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help} ${_query_package_dir}/${_entry}.m VERBATIM)
  endif()
endforeach()
message(STATUS "Octave module: ${_query_package_dir}/interp.mex and delay.mex")
