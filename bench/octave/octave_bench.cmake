# The host benchmark's baselines as an Octave MEX file, bench_baseline.mex in
# ${CMAKE_BINARY_DIR}/octave-bench, built like the module (included from cmake/Octave.cmake
# with its Octave settings when IONEX_BUILD_BENCH is on).
add_library(bench_baseline_octave SHARED ${CMAKE_CURRENT_LIST_DIR}/bench_baseline.cpp)
target_include_directories(bench_baseline_octave BEFORE PRIVATE ${_oct_incdir} ${_oct_incparent})
target_link_libraries(bench_baseline_octave PRIVATE ionex_core ${_oct_link_libs})
target_link_options(bench_baseline_octave PRIVATE -Wl,-Bsymbolic)
set_target_properties(bench_baseline_octave PROPERTIES
  OUTPUT_NAME bench_baseline
  PREFIX ""
  SUFFIX ".mex"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/octave-bench)
