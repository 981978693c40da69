# The exact solver behind "quillfen-tool solve": the board model and threads,
# nothing of the search. Console builds only (it runs threads).
find_package(Threads REQUIRED)
add_library(quillfen_solve STATIC
  ${PROJECT_SOURCE_DIR}/tools/solve.cpp ${PROJECT_SOURCE_DIR}/tools/solve.h
  ${PROJECT_SOURCE_DIR}/tools/solvetable.cpp ${PROJECT_SOURCE_DIR}/tools/solvetable.h
  ${PROJECT_SOURCE_DIR}/tools/solvecommand.cpp ${PROJECT_SOURCE_DIR}/tools/solvecommand.h)
target_include_directories(quillfen_solve PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quillfen_solve PUBLIC quillfen_board Threads::Threads)
target_link_libraries(quillfen-tool PRIVATE quillfen_solve)
target_compile_definitions(quillfen-tool PRIVATE QUILLFEN_SOLVE=1)
