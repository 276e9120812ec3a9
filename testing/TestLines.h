#pragma once
#include <string>

namespace quirn {

// What a line of a test says about the time switch.
enum class LineKind {
    Note,    // progress: a start text, the day plan being checked, "Test Complete"
    Passed,  // a check the switch passed
    Failed,  // a check it failed, a lost answer, a program that could not be read back
};

// Where the lines of the running tests go: the window's list and the test log, or a terminal.
class TestLineSink {
  public:
    virtual ~TestLineSink() = default;
    virtual void testLine(const std::string& text, LineKind kind) = 0;
};

}  // namespace quirn
