#pragma once

namespace quirn::ctl {

// True when the first word after the global options is "loader".
bool isLoaderCommand(int argc, const char* const* argv);

// quirnctl [--root DIR] loader --port DEVICE [--type 0|1|2|3] JOB
//   JOB: write MG G | read MG G | on MG G | off MG G | time | baud 2400|4800 | pc-baud 2400|4800
// Runs the loader controller on the device (a serial port or the pseudo-terminal a simulator
// prints) with the system clock and real 500 ms ticks. Progress goes to stderr. Exit 0 when
// the job worked (read: the program matches the group's), 1 when a read program differs, 2 on
// any failure (bad arguments, no port, nothing read, a failed baud change).
int runLoaderCommand(int argc, const char* const* argv);

}  // namespace quirn::ctl
