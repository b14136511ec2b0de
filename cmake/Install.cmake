# Installation and the Octave package.
#
#   cmake --build <build>
#   cmake --install <build> --prefix P
#
# puts everything into one folder, P/${IONEX_INSTALL_DIR} (default share/vornakelstrid_p):
#   vornakelstrid_p.mex          the Octave module (and vornakelstrid_p.mex<arch> for MATLAB,
#                                when the MATLAB build exists)
#   vornakelstrid_p.m            its help text (`help vornakelstrid_p`); a call reaches the
#                                MEX file, which takes precedence in the same folder
#   plot_tec_map.m, tec_at_station.m, read_many_days.m,
#   read_archive_parallel.m
#   slant_delay.m, regional_cut.m  the examples
#   private/                     the helpers they share (their sample files, gnuplot)
#   data/                        the sample IONEX files the examples use by default
#   +ionex/                      the package: read.mex, info.mex, write.mex, ... beside
#                                their help files read.m, info.m, ... and Contents.m (`help
#                                ionex`), plot.m (ionex.plot, an M-file) and private/ with
#                                the coastline data it draws
# After addpath of that folder, Octave (or MATLAB) finds the module and the examples.
#
# The target octave_package (see package/octave_package.cmake) makes the archive for
# Octave's `pkg install`.

set(IONEX_INSTALL_DIR "share/vornakelstrid_p" CACHE STRING
    "Folder, relative to the install prefix, for the module, its help file and the examples")

set(_ionex_installed_module FALSE)
set(_ionex_installed_package FALSE)
if(IONEX_OCTAVE_TARGET AND TARGET ${IONEX_OCTAVE_TARGET})
  install(TARGETS ${IONEX_OCTAVE_TARGET}
          LIBRARY DESTINATION ${IONEX_INSTALL_DIR}
          RUNTIME DESTINATION ${IONEX_INSTALL_DIR})
  set(_ionex_installed_module TRUE)
endif()
if(TARGET vornakelstrid_p_matlab)
  install(TARGETS vornakelstrid_p_matlab
          LIBRARY DESTINATION ${IONEX_INSTALL_DIR}
          RUNTIME DESTINATION ${IONEX_INSTALL_DIR})
  set(_ionex_installed_module TRUE)
endif()

foreach(_target IN LISTS IONEX_OCTAVE_PACKAGE_TARGETS IONEX_MATLAB_PACKAGE_TARGETS)
  if(TARGET ${_target})
    install(TARGETS ${_target}
            LIBRARY DESTINATION ${IONEX_INSTALL_DIR}/+ionex
            RUNTIME DESTINATION ${IONEX_INSTALL_DIR}/+ionex)
    set(_ionex_installed_package TRUE)
  endif()
endforeach()
if(_ionex_installed_package)
  file(GLOB _ionex_package_help CONFIGURE_DEPENDS ${IONEX_PACKAGE_HELP_DIR}/*.m)
  install(FILES ${_ionex_package_help} DESTINATION ${IONEX_INSTALL_DIR}/+ionex)
  file(GLOB _ionex_package_private CONFIGURE_DEPENDS ${IONEX_PACKAGE_HELP_DIR}/private/*)
  install(FILES ${_ionex_package_private} DESTINATION ${IONEX_INSTALL_DIR}/+ionex/private)
endif()

if(_ionex_installed_module)
  install(FILES
            ${CMAKE_SOURCE_DIR}/src/gateway/vornakelstrid/vornakelstrid_p.m
            ${CMAKE_SOURCE_DIR}/examples/plot_tec_map.m
            ${CMAKE_SOURCE_DIR}/examples/tec_at_station.m
            ${CMAKE_SOURCE_DIR}/examples/read_many_days.m
            ${CMAKE_SOURCE_DIR}/examples/read_archive_parallel.m
            ${CMAKE_SOURCE_DIR}/examples/slant_delay.m
            ${CMAKE_SOURCE_DIR}/examples/regional_cut.m
          DESTINATION ${IONEX_INSTALL_DIR})
  install(FILES
            ${CMAKE_SOURCE_DIR}/examples/private/sample_dir.m
            ${CMAKE_SOURCE_DIR}/examples/private/use_gnuplot_without_gui.m
          DESTINATION ${IONEX_INSTALL_DIR}/private)
  install(FILES
            ${CMAKE_SOURCE_DIR}/tests/data/codg0080.20i.Z
            ${CMAKE_SOURCE_DIR}/tests/data/jplg0010.17i.gz
            ${CMAKE_SOURCE_DIR}/tests/data/CODG0440.13I
          DESTINATION ${IONEX_INSTALL_DIR}/data)
  message(STATUS "Install: module, help file and examples into <prefix>/${IONEX_INSTALL_DIR}")
else()
  message(STATUS "Install: no module target (Octave or MATLAB) is built, nothing to install")
endif()

include(${CMAKE_SOURCE_DIR}/package/octave_package.cmake)
