#include "validationrun/RunProgressText.h"

namespace quirn {

namespace {
constexpr int kWhole = 100;
}

std::string runStateLine(const RunProgress& p) {
    if (!p.running) return "Not running.";
    if (p.stopping) return "Stopping: the reads under way are ending.";
    std::string line = "Reading " + p.selection.text() + ": " + std::to_string(p.done) + " of " +
                       std::to_string(p.total) + " done";
    if (p.gathering) line += " (still selecting)";
    return line + ".";
}

std::string runCurrentLine(const RunProgress& p) {
    return p.current.empty() ? std::string() : "Last read started: " + p.current;
}

int runPercent(const RunProgress& p) {
    if (p.total == 0) return 0;
    return static_cast<int>(p.done * kWhole / p.total);
}

}  // namespace quirn
