# Configures and builds the project afresh in BINARY and checks the result.
#   MODE=tests-off      -DQUILLFEN_TESTS=OFF: no test tool is even looked for.
#   MODE=no-test-tools  GoogleTest and Python 3 hidden from find_package: the
#                       configure names the suites it leaves out, and they are
#                       not in the test list.
# Either way the engine and the tool must build.
cmake_minimum_required(VERSION 3.22)

function(run what)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "tests-off")
  set(options -DQUILLFEN_TESTS=OFF)
elseif(MODE STREQUAL "no-test-tools")
  set(options -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON)
else()
  message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()

file(REMOVE_RECURSE ${BINARY})
run("configure" ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Debug ${options})
set(configure_output "${output}")

if(MODE STREQUAL "tests-off")
  if(configure_output MATCHES "GTest|Python3|tests left out")
    message(FATAL_ERROR "the configure with the tests off looked for test tools:\n${configure_output}")
  endif()
else()
  string(REGEX MATCHALL "Quillfen tests left out" messages "${configure_output}")
  list(LENGTH messages count)
  if(NOT count EQUAL 1 OR NOT configure_output MATCHES
     "left out:[ \n]*unit tests \\(need GoogleTest\\)[ \n]*e2e transcripts, GUI, match and python rules tests \\(need Python 3\\)\n")
    message(FATAL_ERROR "expected one message naming the suites left out:\n${configure_output}")
  endif()
  file(STRINGS ${BINARY}/left-out-tests.txt listed)
  list(LENGTH listed count)
  if(NOT count EQUAL 2)
    message(FATAL_ERROR "left-out-tests.txt should name two groups of suites: ${listed}")
  endif()
endif()

run("build" ${CMAKE_COMMAND} --build ${BINARY} --parallel 2)
foreach(program quillfen quillfen-tool)
  if(NOT EXISTS ${BINARY}/${program})
    message(FATAL_ERROR "${program} was not built in ${BINARY}:\n${output}")
  endif()
endforeach()
if(MODE STREQUAL "no-test-tools")
  run("listing the tests" ${CMAKE_CTEST_COMMAND} --test-dir ${BINARY} -N)
  if(NOT output MATCHES "bench_signature" OR output MATCHES "quillfen_tests|Perft|e2e\\.|gui_|match_|python_")
    message(FATAL_ERROR "the test list should hold only suites that need no test tools:\n${output}")
  endif()
endif()
message(STATUS "${MODE}: engine and tool built in ${BINARY}")
