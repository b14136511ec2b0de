# The Octave package: target octave_package makes
#   ${CMAKE_BINARY_DIR}/vornakelstrid-<version>.tar.gz
# in the layout `pkg install` reads:
#   vornakelstrid-<version>/DESCRIPTION, COPYING, INDEX
#   vornakelstrid-<version>/src/Makefile            builds the module with mkoctfile --mex
#   vornakelstrid-<version>/src/ionex/<layer>/      the core, in the repository's folders
#   vornakelstrid-<version>/src/gateway/vornakelstrid/  the module's gateway and help file
#   vornakelstrid-<version>/src/gateway/ionex_package/  the +ionex entries (ionex_<name>.cpp),
#                                                   their shared sources, +ionex/*.m (help
#                                                   files and ionex.plot) and +ionex/private/
#                                                   (the coastline data of ionex.plot)
#   vornakelstrid-<version>/inst/                   the examples and their sample data
# The archive holds sources only: it is made without Octave, and `pkg install` compiles
# the module with the installing Octave's own mkoctfile. Part of the default build.

set(IONEX_PACKAGE_NAME vornakelstrid)
set(IONEX_PACKAGE_DIRNAME ${IONEX_PACKAGE_NAME}-${PROJECT_VERSION})
set(IONEX_PACKAGE_ARCHIVE ${CMAKE_BINARY_DIR}/${IONEX_PACKAGE_DIRNAME}.tar.gz)

# Gateway sources from the gateway's directory, core sources from the core target.
if(NOT DEFINED IONEX_GATEWAY_SOURCES AND EXISTS ${CMAKE_SOURCE_DIR}/src/gateway/CMakeLists.txt)
  get_directory_property(IONEX_GATEWAY_SOURCES
    DIRECTORY ${CMAKE_SOURCE_DIR}/src/gateway DEFINITION IONEX_GATEWAY_SOURCES)
endif()
if(NOT IONEX_GATEWAY_SOURCES OR NOT TARGET ionex_core)
  message(STATUS "Octave package: gateway or core sources not available, target octave_package not made")
  return()
endif()
# Every source of the core and the gateways, in the folders of the repository (includes
# name the folder: "input/line_source.h", "vornakelstrid/arguments.h").
file(GLOB_RECURSE _pkg_sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/src/ionex/*.cpp ${CMAKE_SOURCE_DIR}/src/ionex/*.h
  ${CMAKE_SOURCE_DIR}/src/gateway/*.cpp ${CMAKE_SOURCE_DIR}/src/gateway/*.h
  ${CMAKE_SOURCE_DIR}/src/gateway/*.m
  ${CMAKE_SOURCE_DIR}/src/gateway/ionex_package/+ionex/private/*)

# DESCRIPTION with the project's version and the date of configuration.
string(TIMESTAMP IONEX_PACKAGE_DATE "%Y-%m-%d" UTC)
set(_pkg_generated ${CMAKE_BINARY_DIR}/octave_package)
configure_file(${CMAKE_CURRENT_LIST_DIR}/DESCRIPTION.in ${_pkg_generated}/DESCRIPTION @ONLY)

# The manifest: one "<path in the package>|<file>" a line.
set(_pkg_manifest "")
set(_pkg_inputs "")
macro(_ionex_pkg_add dest src)
  string(APPEND _pkg_manifest "${dest}|${src}\n")
  list(APPEND _pkg_inputs ${src})
endmacro()
_ionex_pkg_add(DESCRIPTION ${_pkg_generated}/DESCRIPTION)
_ionex_pkg_add(COPYING ${CMAKE_CURRENT_LIST_DIR}/COPYING)
_ionex_pkg_add(INDEX ${CMAKE_CURRENT_LIST_DIR}/INDEX)
_ionex_pkg_add(src/Makefile ${CMAKE_CURRENT_LIST_DIR}/Makefile)
foreach(_f IN LISTS _pkg_sources)
  _ionex_pkg_add(src/${_f} ${CMAKE_SOURCE_DIR}/src/${_f})
endforeach()
foreach(_n plot_tec_map.m tec_at_station.m read_many_days.m read_archive_parallel.m slant_delay.m regional_cut.m)
  _ionex_pkg_add(inst/${_n} ${CMAKE_SOURCE_DIR}/examples/${_n})
endforeach()
foreach(_n sample_dir.m use_gnuplot_without_gui.m)
  _ionex_pkg_add(inst/private/${_n} ${CMAKE_SOURCE_DIR}/examples/private/${_n})
endforeach()
foreach(_n codg0080.20i.Z jplg0010.17i.gz CODG0440.13I)
  _ionex_pkg_add(inst/data/${_n} ${CMAKE_SOURCE_DIR}/tests/data/${_n})
endforeach()
file(CONFIGURE OUTPUT ${_pkg_generated}/manifest.txt CONTENT "${_pkg_manifest}")

add_custom_command(
  OUTPUT ${IONEX_PACKAGE_ARCHIVE}
  COMMAND ${CMAKE_COMMAND}
          -DMANIFEST=${_pkg_generated}/manifest.txt
          -DSTAGE=${_pkg_generated}/stage
          -DDIRNAME=${IONEX_PACKAGE_DIRNAME}
          -DARCHIVE=${IONEX_PACKAGE_ARCHIVE}
          -P ${CMAKE_CURRENT_LIST_DIR}/make_archive.cmake
  DEPENDS ${_pkg_inputs} ${_pkg_generated}/manifest.txt ${CMAKE_CURRENT_LIST_DIR}/make_archive.cmake
  COMMENT "Octave package ${IONEX_PACKAGE_DIRNAME}.tar.gz"
  VERBATIM)
add_custom_target(octave_package ALL DEPENDS ${IONEX_PACKAGE_ARCHIVE})
