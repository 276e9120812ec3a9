#pragma once
#include <array>
#include <ctime>
#include <memory>

namespace quirn {

class TimeTest;
struct TimeTestServices;

// The six scripted tests, and the order "Test ALL" runs them in.
enum class TestKind { DateFlip, Step16, Ap36, Dwp, Step2460, Dst };

inline constexpr std::array<TestKind, 6> kTestAllOrder{
    TestKind::Step16,   TestKind::Ap36,     TestKind::Dwp,
    TestKind::Step2460, TestKind::DateFlip, TestKind::Dst,
};

// What a test is started with besides the services.
struct TestChoices {
    std::time_t dateFlipStart = 0;  // the day the date-flip test begins with
};

// A new test of the kind; the daylight-saving test looks up its changes from now.
std::unique_ptr<TimeTest> makeTimeTest(TestKind kind, const TimeTestServices& services,
                                       const TestChoices& choices);

}  // namespace quirn
