# The MEX module for GNU Octave: vornakelstrid_p.mex in ${CMAKE_BINARY_DIR}/octave, next to
# its help file, built from the gateway sources and the IONEX core against Octave's own mex.h.
#
# The compile and link settings are the ones `mkoctfile --mex` uses: Octave's include
# directories, position independent code, a shared object linked with -Bsymbolic against
# liboctinterp and liboctave.
#
# Results for other parts of the build:
#   IONEX_OCTAVE_TARGET      name of the module target (empty when it is not built)
#   IONEX_OCTAVE_MODULE_DIR  directory that holds the module and its help file
#   IONEX_OCTAVE_CLI         the octave-cli program, for running the module in tests
#   IONEX_OCTAVE_PACKAGE_TARGETS  targets of the +ionex entries (${IONEX_OCTAVE_MODULE_DIR}/+ionex)
#
# The +ionex package: every entry registered in src/gateway with ionex_package_entry(name
# source) becomes ${IONEX_OCTAVE_MODULE_DIR}/+ionex/<name>.mex, beside the help files of
# src/gateway/ionex_package/+ionex/, by the function ionex_add_octave_package_entry below.

set(IONEX_OCTAVE_TARGET "")
set(IONEX_OCTAVE_PACKAGE_TARGETS "")
set(IONEX_OCTAVE_MODULE_DIR ${CMAKE_BINARY_DIR}/octave)

if(NOT IONEX_BUILD_OCTAVE)
  return()
endif()
if(IONEX_SANITIZE)
  message(STATUS "Octave module: not built with IONEX_SANITIZE (Octave would have to preload the sanitizer runtime)")
  return()
endif()

find_program(IONEX_MKOCTFILE mkoctfile)
if(NOT IONEX_MKOCTFILE)
  message(STATUS "Octave module: mkoctfile not found, module not built")
  return()
endif()

# The gateway's directory sets IONEX_GATEWAY_SOURCES; read it from there when it was not
# handed up to this scope.
if(NOT DEFINED IONEX_GATEWAY_SOURCES AND EXISTS ${CMAKE_SOURCE_DIR}/src/gateway/CMakeLists.txt)
  get_directory_property(IONEX_GATEWAY_SOURCES
    DIRECTORY ${CMAKE_SOURCE_DIR}/src/gateway DEFINITION IONEX_GATEWAY_SOURCES)
endif()
if(NOT IONEX_GATEWAY_SOURCES)
  message(STATUS "Octave module: gateway sources (IONEX_GATEWAY_SOURCES) not available, module not built")
  return()
endif()
if(NOT TARGET ionex_core)
  message(STATUS "Octave module: target ionex_core missing, module not built")
  return()
endif()

function(_ionex_mkoctfile_query var what)
  execute_process(COMMAND ${IONEX_MKOCTFILE} -p ${what}
    OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    set(out "")
  endif()
  set(${var} "${out}" PARENT_SCOPE)
endfunction()

_ionex_mkoctfile_query(_oct_incdir OCTINCLUDEDIR)
_ionex_mkoctfile_query(_oct_libdir OCTLIBDIR)
_ionex_mkoctfile_query(_oct_libs OCTAVE_LIBS)

if(NOT _oct_incdir OR NOT EXISTS ${_oct_incdir}/mex.h)
  message(STATUS "Octave module: mex.h not found under '${_oct_incdir}', module not built")
  return()
endif()
# mkoctfile puts both the octave/ directory and its parent on the include path.
get_filename_component(_oct_incparent ${_oct_incdir} DIRECTORY)

# -loctinterp -loctave, resolved in Octave's library directory.
set(_oct_link_libs "")
separate_arguments(_oct_libs_list UNIX_COMMAND "${_oct_libs}")
foreach(flag IN LISTS _oct_libs_list)
  if(flag MATCHES "^-l(.+)$")
    set(_name ${CMAKE_MATCH_1})
    find_library(IONEX_OCTAVE_LIB_${_name} NAMES ${_name} HINTS ${_oct_libdir} NO_DEFAULT_PATH)
    find_library(IONEX_OCTAVE_LIB_${_name} NAMES ${_name})
    if(IONEX_OCTAVE_LIB_${_name})
      list(APPEND _oct_link_libs ${IONEX_OCTAVE_LIB_${_name}})
    else()
      message(STATUS "Octave module: library ${_name} not found, module not built")
      return()
    endif()
  endif()
endforeach()

find_program(IONEX_OCTAVE_CLI octave-cli)
set(IONEX_OCTAVE_TARGET vornakelstrid_p_octave)

add_library(${IONEX_OCTAVE_TARGET} SHARED ${IONEX_GATEWAY_SOURCES})
# Octave's mex.h and nothing else: the gateway must not see the stand-in host of the tests.
target_include_directories(${IONEX_OCTAVE_TARGET} BEFORE PRIVATE ${_oct_incdir} ${_oct_incparent})
# Gateway includes name their folder ("vornakelstrid/arguments.h"): the include root is src/gateway.
set(_gateway_dir ${CMAKE_SOURCE_DIR}/src/gateway)
target_include_directories(${IONEX_OCTAVE_TARGET} PRIVATE ${_gateway_dir})
target_link_libraries(${IONEX_OCTAVE_TARGET} PRIVATE ionex_core ${_oct_link_libs})
target_link_options(${IONEX_OCTAVE_TARGET} PRIVATE -Wl,-Bsymbolic)
set_target_properties(${IONEX_OCTAVE_TARGET} PROPERTIES
  OUTPUT_NAME vornakelstrid_p
  PREFIX ""
  SUFFIX ".mex"
  POSITION_INDEPENDENT_CODE ON
  LIBRARY_OUTPUT_DIRECTORY ${IONEX_OCTAVE_MODULE_DIR})
foreach(cfg IN LISTS CMAKE_CONFIGURATION_TYPES)
  string(TOUPPER ${cfg} _cfg)
  set_target_properties(${IONEX_OCTAVE_TARGET} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY_${_cfg} ${IONEX_OCTAVE_MODULE_DIR})
endforeach()

# `help vornakelstrid_p` reads the comment block of the .m file that lies beside the module.
set(_help_file ${CMAKE_SOURCE_DIR}/src/gateway/vornakelstrid/vornakelstrid_p.m)
if(EXISTS ${_help_file})
  file(MAKE_DIRECTORY ${IONEX_OCTAVE_MODULE_DIR})
  configure_file(${_help_file} ${IONEX_OCTAVE_MODULE_DIR}/vornakelstrid_p.m COPYONLY)
  add_custom_command(TARGET ${IONEX_OCTAVE_TARGET} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help_file} ${IONEX_OCTAVE_MODULE_DIR}/vornakelstrid_p.m
    VERBATIM)
endif()

message(STATUS "Octave module: ${IONEX_OCTAVE_MODULE_DIR}/vornakelstrid_p.mex (Octave headers ${_oct_incdir})")

if(IONEX_BUILD_BENCH AND EXISTS ${CMAKE_SOURCE_DIR}/bench/octave/octave_bench.cmake)
  include(${CMAKE_SOURCE_DIR}/bench/octave/octave_bench.cmake)
endif()

# Builds +ionex/<name>.mex from `source`, the shared +ionex helpers and the core, with the
# settings of the module above. Appends the target to IONEX_OCTAVE_PACKAGE_TARGETS.
function(ionex_add_octave_package_entry name source)
  set(_target ionex_${name}_octave)
  set(_dir ${IONEX_OCTAVE_MODULE_DIR}/+ionex)
  add_library(${_target} SHARED ${source} ${IONEX_PACKAGE_HELPER_SOURCES})
  target_include_directories(${_target} BEFORE PRIVATE ${_oct_incdir} ${_oct_incparent})
  target_include_directories(${_target} PRIVATE ${_gateway_dir})
  target_link_libraries(${_target} PRIVATE ionex_core ${_oct_link_libs})
  target_link_options(${_target} PRIVATE -Wl,-Bsymbolic)
  set_target_properties(${_target} PROPERTIES
    OUTPUT_NAME ${name} PREFIX "" SUFFIX ".mex" POSITION_INDEPENDENT_CODE ON
    LIBRARY_OUTPUT_DIRECTORY ${_dir})
  foreach(cfg IN LISTS CMAKE_CONFIGURATION_TYPES)
    string(TOUPPER ${cfg} _cfg)
    set_target_properties(${_target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY_${_cfg} ${_dir})
  endforeach()
  set(IONEX_OCTAVE_PACKAGE_TARGETS ${IONEX_OCTAVE_PACKAGE_TARGETS} ${_target} PARENT_SCOPE)
endfunction()

get_property(_package_entries GLOBAL PROPERTY IONEX_PACKAGE_ENTRIES)
foreach(_entry IN LISTS _package_entries)
  string(REPLACE "|" ";" _entry "${_entry}")
  list(GET _entry 0 _name)
  list(GET _entry 1 _source)
  ionex_add_octave_package_entry(${_name} ${_source})
endforeach()

# `help ionex.read` reads +ionex/read.m beside +ionex/read.mex; `help ionex`, Contents.m.
# ionex.plot is a plain M-file there, and private/ holds the coastline data it draws.
if(IONEX_OCTAVE_PACKAGE_TARGETS AND IONEX_PACKAGE_HELP_DIR)
  file(GLOB _package_help_files CONFIGURE_DEPENDS ${IONEX_PACKAGE_HELP_DIR}/*.m)
  file(GLOB _package_private_files CONFIGURE_DEPENDS ${IONEX_PACKAGE_HELP_DIR}/private/*)
  set(_package_help_copies "")
  foreach(_help IN LISTS _package_help_files _package_private_files)
    file(RELATIVE_PATH _n ${IONEX_PACKAGE_HELP_DIR} ${_help})
    add_custom_command(OUTPUT ${IONEX_OCTAVE_MODULE_DIR}/+ionex/${_n}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help} ${IONEX_OCTAVE_MODULE_DIR}/+ionex/${_n}
      DEPENDS ${_help} VERBATIM)
    list(APPEND _package_help_copies ${IONEX_OCTAVE_MODULE_DIR}/+ionex/${_n})
  endforeach()
  add_custom_target(ionex_octave_package_help ALL DEPENDS ${_package_help_copies})
  message(STATUS "Octave +ionex package: ${IONEX_OCTAVE_MODULE_DIR}/+ionex (${IONEX_OCTAVE_PACKAGE_TARGETS})")
endif()
