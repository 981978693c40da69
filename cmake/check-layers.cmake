# Refuses includes that point up the layers: board <- search <- protocol <-
# app and tools. Each library folder may include its own headers and those
# of the folders below it, never one above.
#
#   cmake -DROOT=<source dir> -DLAYER=<folder> -DFORBIDDEN=<folder,folder...>
#         [-DSTAMP=<file>] -P check-layers.cmake
#
# Every .h and .cpp under ROOT/LAYER is read; an #include "F/..." or
# #include <F/...> of a FORBIDDEN folder F is reported as FILE:LINE and the
# script fails. On success it touches STAMP, so that the build runs the check
# again only when a file of the folder changes.
cmake_minimum_required(VERSION 3.22)

foreach(var ROOT LAYER FORBIDDEN)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check-layers.cmake: -D${var}=... missing")
  endif()
endforeach()

string(REPLACE "," "|" forbidden_alternatives "${FORBIDDEN}")
set(include_regex "^[ \t]*#[ \t]*include[ \t]*[<\"](\\.\\.?/)*(${forbidden_alternatives})/")

file(GLOB_RECURSE files LIST_DIRECTORIES false
  "${ROOT}/${LAYER}/*.h" "${ROOT}/${LAYER}/*.cpp")
list(SORT files)

set(violations 0)
foreach(file IN LISTS files)
  file(READ "${file}" text)
  # One list element per line. Semicolons and square brackets would split or
  # join elements, so they are masked first; the reported lines are matched
  # only on their include part, which holds neither.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REPLACE "\\" "<backslash>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  file(RELATIVE_PATH shown "${ROOT}" "${file}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "${include_regex}")
      string(REGEX MATCH "[<\"][^>\"]*[>\"]" target "${line}")
      string(REPLACE "," ", " below "${FORBIDDEN}")
      message(NOTICE "${shown}:${number}: error: ${LAYER}/ includes ${target}; "
                     "${LAYER}/ may not include from ${below}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR
    "${violations} include(s) in ${LAYER}/ point up the layers "
    "(board <- search <- protocol <- app, tools). Move the code to the layer "
    "that owns it or pass what it needs down from above.")
endif()
if(DEFINED STAMP)
  get_filename_component(stamp_dir "${STAMP}" DIRECTORY)
  file(MAKE_DIRECTORY "${stamp_dir}")
  file(TOUCH "${STAMP}")
endif()
