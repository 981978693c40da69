# The WebAssembly build (emcmake cmake -S . -B build-web): the engine's
# libraries compiled by Emscripten behind three front doors that share one
# module, quillfen-engine.js with quillfen-engine.wasm:
#   quillfen.js         node quillfen.js: standard input and output, like the
#                       console engine
#   quillfen-worker.js  a Web Worker speaking the xboard protocol by messages
#   index.html          the page that plays against the worker
# and quillfen-tool.js, the developer tool under Node (perft, bench). The
# entry is app/web.cpp; the JavaScript front doors and the page are in
# app/web/.

# Debian's Emscripten runs its JavaScript optimiser at the link with the
# system's node, which finds Debian's acorn only on NODE_PATH.
if(EXISTS /usr/share/nodejs/acorn)
  set(node_path /usr/share/nodejs)
  if(DEFINED ENV{NODE_PATH})
    string(APPEND node_path ":$ENV{NODE_PATH}")
  endif()
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${node_path})
  # The tool's target is older than this setting.
  set_target_properties(quillfen-tool PROPERTIES CXX_LINKER_LAUNCHER "${CMAKE_CXX_LINKER_LAUNCHER}")
endif()

# The table's 128 MiB and everything else fit below the ceiling; where a
# browser grants less, the allocation fails and the table shrinks.
# A failed allocation returns null (ABORTING_MALLOC=0) for the fallback to
# see.
set(QUILLFEN_WEB_MEMORY -sALLOW_MEMORY_GROWTH=1 -sABORTING_MALLOC=0
                        -sINITIAL_MEMORY=33554432)
set(QUILLFEN_WEB_MAXIMUM_MEMORY 536870912)

function(quillfen_engine_module name maximum)
  add_executable(${name} ${PROJECT_SOURCE_DIR}/app/web.cpp)
  target_link_libraries(${name} PRIVATE quillfen_protocol)
  target_link_options(${name} PRIVATE
    ${QUILLFEN_WEB_MEMORY} -sMAXIMUM_MEMORY=${maximum}
    -sMODULARIZE=1 -sEXPORT_NAME=createQuillfen
    -sENVIRONMENT=web,worker,node
    -sINVOKE_RUN=0 -sEXIT_RUNTIME=0
    "-sEXPORTED_FUNCTIONS=_quillfen_start,_quillfen_feed,_quillfen_end,_quillfen_state,_malloc,_free"
    "-sEXPORTED_RUNTIME_METHODS=UTF8ToString")
endfunction()

quillfen_engine_module(quillfen-engine ${QUILLFEN_WEB_MAXIMUM_MEMORY})

# quillfen-tool, from the same sources as the native tool (CMakeLists.txt):
# Node only, compiled at load from the file beside it (no fetch of a path),
# writing to the real file descriptors, with main's status as exit status.
target_link_options(quillfen-tool PRIVATE
  ${QUILLFEN_WEB_MEMORY} -sMAXIMUM_MEMORY=${QUILLFEN_WEB_MAXIMUM_MEMORY}
  -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sNODERAWFS=1 -sEXIT_RUNTIME=1
  "--extern-pre-js=${PROJECT_SOURCE_DIR}/app/web/node/shebang.js")
set_property(TARGET quillfen-tool APPEND PROPERTY LINK_DEPENDS
  ${PROJECT_SOURCE_DIR}/app/web/node/shebang.js)
add_custom_command(TARGET quillfen-tool POST_BUILD
  COMMAND chmod +x $<TARGET_FILE:quillfen-tool> VERBATIM)

# The hand-written front doors and the page, copied beside the module.
file(GLOB QUILLFEN_WEB_FILES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/app/web/page/*.html ${PROJECT_SOURCE_DIR}/app/web/page/*.css
  ${PROJECT_SOURCE_DIR}/app/web/page/*.js ${PROJECT_SOURCE_DIR}/app/web/page/*.svg)
list(APPEND QUILLFEN_WEB_FILES ${PROJECT_SOURCE_DIR}/app/web/node/quillfen.js
  ${PROJECT_SOURCE_DIR}/app/web/worker/quillfen-worker.js)
set(web_outputs)
foreach(source ${QUILLFEN_WEB_FILES})
  get_filename_component(name ${source} NAME)
  set(output ${PROJECT_BINARY_DIR}/${name})
  set(mode a+r)
  if(name STREQUAL "quillfen.js")
    set(mode a+rx)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    COMMAND chmod ${mode} ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND web_outputs ${output})
endforeach()
add_custom_target(quillfen-web-files ALL DEPENDS ${web_outputs})
add_dependencies(quillfen-web-files quillfen-engine)

if(QUILLFEN_TESTS)
  enable_testing()
  add_subdirectory(tests/web)
endif()
