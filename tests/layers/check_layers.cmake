# Checks that no layer of the sources includes one above it. Run as
#   cmake -DSRC_ROOT=<folder holding ionex/ and gateway/> -P check_layers.cmake
# Prints every offending include ("<file>: includes <header> (<layer> may include: ...)")
# and fails when there is any.
#
# The core (ionex/) is layered: common records at the bottom, the input (bytes to lines)
# above them, the two readers above the input, side by side, the queries over the common
# records only, and the writer over the format reader. Core includes name the folder of the
# header; no core file knows a host (mex.h, matrix.h) or a gateway. The two gateway
# families (gateway/vornakelstrid, gateway/ionex_package) may use the whole core and
# gateway/shared, but not each other.

if(NOT SRC_ROOT)
  message(FATAL_ERROR "check_layers.cmake: SRC_ROOT is not set")
endif()
get_filename_component(SRC_ROOT ${SRC_ROOT} ABSOLUTE)

set(_core_layers common input keyword_reader format_reader queries writer)
set(_allowed_common common)
set(_allowed_input common input)
set(_allowed_keyword_reader common input keyword_reader)
set(_allowed_format_reader common input format_reader)
set(_allowed_queries common queries)
set(_allowed_writer common input format_reader writer)
set(_allowed_vornakelstrid ${_core_layers} shared vornakelstrid)
set(_allowed_ionex_package ${_core_layers} shared ionex_package)
set(_allowed_shared ${_core_layers} shared)
# Headers of the host that only gateways may include.
set(_host_headers mex.h matrix.h)

set(_violations "")
set(_checked 0)

# Checks the quoted includes of every source below <root>/<layer>/ against the layer's list.
function(_check_folder root layer allowed is_core)
  file(GLOB_RECURSE _files RELATIVE ${root} ${root}/${layer}/*.h ${root}/${layer}/*.cpp)
  string(REPLACE ";" ", " _allowed_text "${allowed}")
  foreach(_file IN LISTS _files)
    file(STRINGS ${root}/${_file} _includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(_line IN LISTS _includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" _header "${_line}")
      if(_header MATCHES "^([^/]+)/")
        set(_folder ${CMAKE_MATCH_1})
        list(FIND allowed ${_folder} _at)
        if(_at EQUAL -1)
          list(APPEND _violations "${_file}: includes ${_header} (${layer} may include: ${_allowed_text})")
        endif()
      else()
        list(FIND _host_headers ${_header} _at)
        if(is_core AND NOT _at EQUAL -1)
          list(APPEND _violations "${_file}: includes the host header ${_header}")
        elseif(_at EQUAL -1)
          list(APPEND _violations "${_file}: includes ${_header} without its folder")
        endif()
      endif()
    endforeach()
    math(EXPR _checked_now "${_checked} + 1")
    set(_checked ${_checked_now})
  endforeach()
  set(_violations "${_violations}" PARENT_SCOPE)
  set(_checked ${_checked} PARENT_SCOPE)
endfunction()

foreach(_layer IN LISTS _core_layers)
  if(IS_DIRECTORY ${SRC_ROOT}/ionex/${_layer})
    _check_folder(${SRC_ROOT}/ionex ${_layer} "${_allowed_${_layer}}" TRUE)
  endif()
endforeach()
foreach(_family vornakelstrid ionex_package shared)
  if(IS_DIRECTORY ${SRC_ROOT}/gateway/${_family})
    _check_folder(${SRC_ROOT}/gateway ${_family} "${_allowed_${_family}}" FALSE)
  endif()
endforeach()

# A core source outside every layer folder would escape the check.
file(GLOB _loose ${SRC_ROOT}/ionex/*.h ${SRC_ROOT}/ionex/*.cpp)
foreach(_file IN LISTS _loose)
  list(APPEND _violations "${_file}: lies outside the layer folders")
endforeach()

if(_checked EQUAL 0)
  message(FATAL_ERROR "check_layers.cmake: no sources found under ${SRC_ROOT}")
endif()
if(_violations)
  list(JOIN _violations "\n" _text)
  message(FATAL_ERROR "Includes across layers:\n${_text}")
endif()
message(STATUS "Layers: ${_checked} files, every include within its layer's reach")
