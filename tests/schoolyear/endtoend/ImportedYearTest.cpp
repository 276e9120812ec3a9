#include "tests/schoolyear/endtoend/ImportedYearTest.h"

#include <utility>

namespace quirn::test {

ImportedYearTest::ImportedYearTest(const TimeTestServices& services, std::vector<DayCheck> checks)
    : ProgrammedTest(services, "SchoolYear"), checks_(std::move(checks)) {}

std::string ImportedYearTest::startText() const {
    return "Starting School Year Test.";
}

ImportedYearTest::RelayCheck ImportedYearTest::turnsAt(std::time_t day, int minuteOfDay,
                                                       bool turnsOn) {
    RelayCheck check = aroundStep(day, minuteOfDay, turnsOn);
    check.atOnceDecides = true;
    return check;
}

ImportedYearTest::RelayCheck ImportedYearTest::holdsAcross(std::time_t day, int minuteOfDay,
                                                           bool on) {
    RelayCheck check = turnsAt(day, minuteOfDay, on);
    check.atOnce = RelayRead{on, minuteOfDay};
    return check;
}

bool ImportedYearTest::step() {
    switch (state_) {
        case kProgram:
            if (programSwitch()) state_ = kNextDay;
            return false;
        case kNextDay:
            if (next_ >= checks_.size()) {
                note(name() + ": Test Complete");
                return true;
            }
            note(name() + ":: " + checks_[next_].day + ".");
            state_ = kChecking;
            return false;
        case kChecking:
            if (!checkRelay(checks_[next_].check)) return false;
            ++next_;
            state_ = kNextDay;
            return false;
        default:
            state_ = kProgram;
            return false;
    }
}

}  // namespace quirn::test
