#pragma once

namespace ondrel {

// Turns SIGINT, SIGTERM and SIGHUP into a normal quit of the event loop, so a
// program stopped from a terminal or by the session still closes its window
// and removes its working folder.
void QuitOnTerminationSignals();

} // namespace ondrel
