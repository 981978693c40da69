// Only what a board file may name: its own layer, the standard library, a
// folder whose name merely ends in a layer's name, and upward includes that
// are commented out or sit inside a string.
#include "board/position.h"

#include <array>
#include "research/notes.h"
// #include "search/search.h"
/* #include "protocol/engine.h" */
const char* text = "#include \"protocol/engine.h\"";
const int codes[2] = {1, 2};
