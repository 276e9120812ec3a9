#pragma once
#include <string>
#include <vector>

namespace quirn::sim {

// Exit codes of quirn-sim.
inline constexpr int kExitStopped = 0;   // stopped by SIGINT or SIGTERM (or --help)
inline constexpr int kExitFailed = 1;    // the transport could not be set up or broke
inline constexpr int kExitBadUsage = 2;  // the command line was refused

// The whole program: reads the arguments (after the program name), sets up the switches and
// their transport, prints the device path or listening address as the first line of standard
// output, and serves until an interrupt or terminate request arrives.
int runSimulator(const std::vector<std::string>& args);

}  // namespace quirn::sim
