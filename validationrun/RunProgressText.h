#pragma once
#include <string>

#include "validationrun/ValidationRun.h"

namespace quirn {

// The lines a validation run window shows for where a run stands.
// "Reading 3 of 40 (still selecting)", "Stopping: 1 read in flight", "Not running".
std::string runStateLine(const RunProgress& progress);
// "Last: Oak St (1, 3, 7)"; empty when no read has started.
std::string runCurrentLine(const RunProgress& progress);
// The percentage of the selection read, 0..100 (0 for an empty selection).
int runPercent(const RunProgress& progress);

}  // namespace quirn
