#include "testing/Test2460.h"

#include "plans/PlanDatabase.h"
#include "protocol/AnnualCalendar.h"
#include "testing/DaylightChanges.h"
#include "testing/TestProgramming.h"

namespace quirn {

namespace tp = test_programming;

namespace {
constexpr int kHalvesPerPeriod = 2;
constexpr int kChecksPerHalf = 2;
}  // namespace

Test2460::Test2460(const TimeTestServices& services) : ProgrammedTest(services, "Test2460") {
    startMinute_ = kFirstStartMinute;
    testDate_ = noonWithoutChange(noonAfter(now(), 1));
}

std::string Test2460::startText() const {
    return "Starting Start Minute Test.  Should run about 30 minutes.";
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

// The relay is ON only in the first 15 minutes of every other half period, from the start
// minute on.
bool Test2460::checkExpectsOn(int check) const {
    bool onHalf = (check / kChecksPerHalf) % kHalvesPerPeriod == 0;
    return onHalf && check % kChecksPerHalf == 1;
}

Test2460::RelayCheck Test2460::stateCheck(int check) const {
    RelayCheck c;
    c.minutes = checkMinute(check);
    c.clockSetting = atMinute(checkDay(), c.minutes) + kCheckSecond;
    c.readAfterMs = kSettleMs;
    c.expectOn = checkExpectsOn(check);
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
