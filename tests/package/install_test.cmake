# `cmake --install` of the build BUILD into a fresh prefix PREFIX, then a fresh octave-cli
# (OCTAVE) that only adds the installed folder DIR (relative to PREFIX) to its path runs
# run_install_test.m from TEST_DIR. Run with cmake -P by the test package.cmake_install.

foreach(var BUILD PREFIX DIR OCTAVE TEST_DIR OCTAVE_TEST_DIR DATA)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "install_test.cmake: ${var} not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "FAIL cmake --install exited with ${rc}")
endif()
execute_process(
  COMMAND ${OCTAVE} --no-gui --norc --no-history --quiet --eval
          "addpath('${TEST_DIR}', '${OCTAVE_TEST_DIR}'); run_install_test('${PREFIX}/${DIR}', '${DATA}')"
  RESULT_VARIABLE rc)
file(REMOVE_RECURSE ${PREFIX})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "FAIL the installed folder did not pass (octave-cli exited with ${rc})")
endif()
