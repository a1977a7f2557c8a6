#pragma once
// The monitor's run from process entry to exit: what is set up before the hidden window exists
// and torn down after its message loop has ended, in that order.
#include <cstdint>

namespace wendle {

// The program entry's part: COM and the common controls for the thread, the run, and COM's end.
// Both platform records must be installed. Returns the process exit code.
int32_t MonitorMain();

// Opens the log, loads the key table, creates the hidden window and runs its message loop, then
// closes the log and destroys the window object. Returns the exit code (0).
int32_t RunMonitor();

}  // namespace wendle
