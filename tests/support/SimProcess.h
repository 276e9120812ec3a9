#pragma once
#include <string>

#include "platform/ChildProcess.h"

namespace quirn::test {

// The quirn-sim program run for one test.
using SimProcess = ChildProcess;

// Reads a whole text file; empty when missing.
std::string readTextFile(const std::string& path);

// The port of the "HOST:PORT" line a simulator prints for --tcp and --m2m ("127.0.0.5:40123"
// -> 40123); 0 when the line names no port.
unsigned portOfLine(const std::string& line);

// The station's time for simulators run with --time-file: written as seconds since 1970 with
// milliseconds, replaced whole (a new file renamed over the old) so that a simulator never
// reads half of it. False when it could not be written.
bool writeSimTime(const std::string& path, long long nowMs);

}  // namespace quirn::test
