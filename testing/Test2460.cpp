#include "testing/Test2460.h"

#include "plans/PlanDatabase.h"
#include "protocol/AnnualCalendar.h"
#include "testing/DaylightChanges.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestKind.h"
#include "testing/TestProgramming.h"

namespace quirn {

namespace tp = test_programming;

namespace {
constexpr int kHalvesPerPeriod = 2;
constexpr int kChecksPerHalf = 2;
constexpr long long kMsPerSecond = 1000;
}  // namespace

Test2460::Test2460(const TimeTestServices& services) : ProgrammedTest(services, "Test2460") {
    startMinute_ = kFirstStartMinute;
    testDate_ = noonWithoutChange(noonAfter(now(), 1));
}

std::string Test2460::startText() const {
    return "Starting Start Minute Test.  Should run about " + durationText(kExpectedMinutes) + ".";
}

void Test2460::writeStartMinute() {
    Group& group = tp::resetTestGroup(s_.database);
    tp::addStartMinutePlan(group, startMinute_);
    programmingChanged();
}

void Test2460::writeProgramming() {
    writeStartMinute();
}

int Test2460::checkMinute(int check) const {
    int half = startMinute_ + kHalfPeriod * (check / kChecksPerHalf);
    return check % kChecksPerHalf == 0 ? half - kBeforeMinutes : half + kAfterMinutes;
}

bool Test2460::onHalf(int check) const {
    return (check / kChecksPerHalf) % kHalvesPerPeriod == 0;
}

// The relay is ON only in the first 15 minutes of every other half period, from the start
// minute on.
bool Test2460::checkExpectsOn(int check) const {
    return onHalf(check) && check % kChecksPerHalf == 1;
}

// In an ON period the minute after either check holds a step (the ON, then the OFF), and the
// clock runs into it; in an OFF period the relay stays off through the minute.
Test2460::RelayCheck Test2460::stateCheck(int check) const {
    const long long lead =
        s_.timeSwitch.reportsDateAndSeconds() ? kLeadSeconds : kWholeMinuteLeadSeconds;
    RelayCheck c;
    const int minutes = checkMinute(check);
    c.clockSetting = atMinute(checkDay(), minutes + 1) - lead;
    c.atOnce = RelayRead{checkExpectsOn(check), minutes};
    c.atOnceDecides = true;
    if (onHalf(check)) {
        c.readAfterMs = lead * kMsPerSecond + kAfterStepMarginMs;
        c.after = RelayRead{!checkExpectsOn(check), minutes + 1};
    }
    return c;
}

bool Test2460::step() {
    switch (state_) {
        case kProgram:
            if (programSwitch()) {
                note(name() + ":: Start Minute " + std::to_string(startMinute_) + ".");
                check_ = 0;
                state_ = kChecking;
            }
            return false;
        case kChecking:
            if (checkMinute(check_) <= kLastCheckMinute) {
                if (checkRelay(stateCheck(check_))) ++check_;
                return false;
            }
            startMinute_ += kStartMinuteStride;
            if (checkMinute(0) > kLastCheckMinute) {
                note(name() + ": Test Complete");
                return true;
            }
            writeStartMinute();
            state_ = kProgram;
            return false;
        default:
            state_ = kProgram;
            return false;
    }
}

}  // namespace quirn
