#pragma once

namespace tolvane::platform {

// Routes the signals that ask the program to end (SIGTERM, SIGHUP, SIGINT)
// into a pipe, so the event loop can react outside the signal handler. Returns
// the pipe's read end, which becomes readable once such a signal arrived, or
// -1 where the system has no such signals (Windows, where a session end
// arrives as a window message). Throws Failure when the pipe cannot be made.
int watchTerminationSignals();

// Empties the pipe after it was reported readable.
void drainTerminationPipe(int readEnd);

// Whether such a signal has arrived since they were watched, for work that
// cannot wait for the event loop (between the files of a run).
bool terminationRequested();

} // namespace tolvane::platform
