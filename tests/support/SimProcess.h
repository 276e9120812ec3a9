#pragma once
#include <string>

#include "platform/ChildProcess.h"

namespace quirn::test {

// The quirn-sim program run for one test.
using SimProcess = ChildProcess;

// Reads a whole text file; empty when missing.
std::string readTextFile(const std::string& path);

}  // namespace quirn::test
