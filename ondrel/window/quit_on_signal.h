#pragma once

namespace ondrel {

// Turns SIGINT, SIGTERM and SIGHUP into a normal quit of the event loop, so a
// program stopped from a terminal or by the session still closes its window
// and removes its working folder.
void QuitOnTerminationSignals();

// The program's event loop; none at all when a termination signal came before
// it started (while a start-up message box was open, say), since Qt drops a
// quit asked for outside its main loop. The loop's exit status, or 0.
int ExecUntilQuit();

} // namespace ondrel
