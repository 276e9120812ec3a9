#pragma once
#ifdef _WIN32
#include <string>

namespace quirn::win32 {

// Windows has no pseudo-terminals, so a program that plays a serial device (the simulated time
// switch) serves a local named pipe instead, and the serial layer opens a pipe's name as it
// opens "\\.\COM3". The names live in the pipe namespace "\\.\pipe\".
inline constexpr const char* kPipeNamespace = "\\\\.\\pipe\\";

// True when `path` names a local named pipe ("\\.\pipe\...", any case).
bool isPipePath(const std::string& path);
// True when a program serves the pipe `path`, whether or not another program has it open now.
// Asked without connecting to it: a look at a pipe through the file system (attributes) would
// take the one connection it offers, or fail while it is taken.
bool pipeServed(const std::string& path);
// A pipe name no other pipe of this computer has now: "\\.\pipe\quirn-sim-<process id>-<n>",
// n counting the pipes this program made.
std::string newDevicePipeName();

}  // namespace quirn::win32
#endif
