#pragma once
#include <array>
#include <ctime>
#include <memory>
#include <string>

namespace quirn {

class TimeTest;
struct TimeTestServices;

// The six scripted tests, and the order "Test ALL" runs them in.
enum class TestKind { DateFlip, Step16, Ap36, Dwp, Step2460, Dst };

inline constexpr std::array<TestKind, 6> kTestAllOrder{
    TestKind::Step16,   TestKind::Ap36,     TestKind::Dwp,
    TestKind::Step2460, TestKind::DateFlip, TestKind::Dst,
};

// What is known of a test before it is made.
struct TestKindInfo {
    TestKind kind;
    const char* name;        // the prefix of its lines ("TestDateFlip")
    const char* button;      // its button in the window ("Date Flip")
    int minutes;             // about how long it runs on a real time switch
    bool writesProgramming;  // it replaces the test group's programming
    // Why a paged switch (QN510, Strider) cannot be judged by the test, as the rest of "the
    // QN510 at location 1 ..."; null when the test suits one. A paged switch reports its
    // clock without date or seconds, and it holds a default and an alternate week but no
    // annual plans: the station sends it each week's plans as the dates come, so it cannot
    // follow a test that moves its clock to a date weeks ahead. On such a switch the checks
    // would fail whatever it did.
    const char* pagedSwitchLacks;
};

const TestKindInfo& testKindInfo(TestKind kind);
// Whether the test can judge the switch: a program-image model (MX40, LR40), whose read-back
// carries the date and seconds of its clock and whose memory holds annual plans, suits every
// test; a paged one only those that do not need either.
bool suitsSwitch(TestKind kind, bool imageModel);
// "40 minutes", "3 hours", "1 hour 30 minutes", "31 hours 10 minutes (over a day)".
std::string durationText(int minutes);

// What a test is started with besides the services.
struct TestChoices {
    std::time_t dateFlipStart = 0;  // the day the date-flip test begins with
};

// A new test of the kind; the daylight-saving test looks up its changes from now.
std::unique_ptr<TimeTest> makeTimeTest(TestKind kind, const TimeTestServices& services,
                                       const TestChoices& choices);

}  // namespace quirn
