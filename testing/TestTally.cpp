#include "testing/TestTally.h"

namespace quirn {

void TestTally::count(const std::string& text, LineKind kind) {
    if (kind == LineKind::Passed) ++passed_;
    if (kind != LineKind::Failed) return;
    if (failed_++ == 0) firstFailure_ = text;
}

std::string TestTally::summary(const std::string& name) const {
    std::string line = name + ": Summary: " + std::to_string(passed_) + " passed, " +
                       std::to_string(failed_) + " failed.";
    if (failed_ > 0) line += " First failure: " + firstFailure_;
    return line;
}

}  // namespace quirn
