// The engine process: one Engine for the whole run, the main loop, and the
// release of the table at exit.
#include "protocol/engine.h"
#include "protocol/mainloop.h"

int main() {
    static Engine engine;
    initEngine(engine);
    int status = mainLoop(engine);
    releaseEngine(engine);
    return status;
}
