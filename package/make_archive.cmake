# Lays out the Octave package in STAGE/DIRNAME from MANIFEST ("<path in the package>|<file>"
# a line) and packs it into ARCHIVE (tar.gz). Run with cmake -P by the target octave_package.

foreach(var MANIFEST STAGE DIRNAME ARCHIVE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_archive.cmake: ${var} not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(STRINGS ${MANIFEST} _lines ENCODING UTF-8)
foreach(_line IN LISTS _lines)
  string(REPLACE "|" ";" _parts "${_line}")
  list(GET _parts 0 _dest)
  list(GET _parts 1 _src)
  if(NOT EXISTS ${_src})
    message(FATAL_ERROR "make_archive.cmake: ${_src} missing")
  endif()
  get_filename_component(_dest_dir ${STAGE}/${DIRNAME}/${_dest} DIRECTORY)
  file(MAKE_DIRECTORY ${_dest_dir})
  # Plain copies, readable and writable by the owner whatever the source's modes.
  configure_file(${_src} ${STAGE}/${DIRNAME}/${_dest} COPYONLY)
  file(CHMOD ${STAGE}/${DIRNAME}/${_dest}
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()

get_filename_component(_archive_dir ${ARCHIVE} DIRECTORY)
file(MAKE_DIRECTORY ${_archive_dir})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar czf ${ARCHIVE} --format=gnutar ${DIRNAME}
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "make_archive.cmake: tar failed (${_rc})")
endif()
