// "quillfen-tool solve": the command line of the exact solver.
#pragma once

// The arguments after "solve". Returns the exit status: 0, or 2 after a
// message on standard error for a bad FEN, move or option.
int runSolveCommand(int argc, char** argv);
