#pragma once
#include <string>

#include "testing/TestLines.h"

namespace quirn {

// Counts the checks of one test (or of a whole "Test ALL" run) for its summary line.
class TestTally {
  public:
    void count(const std::string& text, LineKind kind);
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    const std::string& firstFailure() const { return firstFailure_; }
    // "<name>: Summary: 12 passed, 1 failed. First failure: <line>" (the failure part only when
    // a check failed).
    std::string summary(const std::string& name) const;

  private:
    int passed_ = 0;
    int failed_ = 0;
    std::string firstFailure_;
};

}  // namespace quirn
