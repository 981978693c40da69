# Runs the benchmark and compares its total node count with the recorded
# signature. A change that is meant to alter the search updates the
# recorded figure in the same commit.
execute_process(COMMAND ${TOOL} bench OUTPUT_VARIABLE output RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quillfen-tool bench failed (${status}):\n${output}")
endif()
string(REGEX MATCH "bench: ([0-9]+) nodes" line "${output}")
if(NOT line)
  message(FATAL_ERROR "no bench line in:\n${output}")
endif()
set(nodes ${CMAKE_MATCH_1})
file(STRINGS ${SIGNATURE} expected LIMIT_COUNT 1)
if(NOT nodes STREQUAL expected)
  message(FATAL_ERROR "bench signature changed: ${nodes} nodes, recorded ${expected}\n${output}")
endif()
message(STATUS "bench signature ${nodes} nodes")
