#include "testing/TestDwp.h"

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "testing/DaylightChanges.h"
#include "testing/TestProgramming.h"

namespace quirn {

namespace tp = test_programming;

namespace {
constexpr const char* kDayFormat = "%A, %B %d, %Y";

// True when one of the seven days from `sunday` has a daylight-saving change.
bool weekHasChange(std::time_t sunday) {
    for (int day = 0; day < TestDwp::kDaysPerWeek; ++day)
        if (hasDaylightChange(noonAfter(sunday, day))) return true;
    return false;
}
}  // namespace

TestDwp::TestDwp(const TimeTestServices& services) : ProgrammedTest(services, "TestDWP") {
    // The first Sunday after today; changes are months apart, so the week after is clear.
    int untilSunday = kDaysPerWeek - toLocal(now()).weekday + 1;
    std::time_t sunday = noonAfter(now(), untilSunday);
    if (weekHasChange(sunday)) sunday = noonAfter(sunday, kDaysPerWeek);
    for (int day = 0; day < kDaysPerWeek; ++day)
        week_[static_cast<std::size_t>(day)] = noonAfter(sunday, day);
}

std::string TestDwp::startText() const {
    return "Starting Default Week Plan Test.  Should run about 50 minutes.";
}

void TestDwp::writeProgramming() {
    Group& group = tp::resetTestGroup(s_.database);
    tp::addFourStepPlans(group);
    tp::setRotationWeek(group, rotation());
    programmingChanged();
}

bool TestDwp::step() {
    switch (state_) {
        case kProgram:
            if (programSwitch()) {
                note(name() + ":: Sunday Default " +
                     std::to_string(tp::rotationPlan(rotation(), kSunday)) + ".");
                testDate_ = weekDate(kSunday);
                state_ = kNextDay;
            }
            return false;
        case kNextDay:
            dayPlan_ = tp::rotationPlan(rotation(), toLocal(testDate_).weekday);
            note(name() + ":: dp " + std::to_string(dayPlan_) + " " +
                 formatLocal(kDayFormat, testDate_));
            step_ = 0;
            state_ = kChecking;
            return false;
        case kChecking:
            if (!checkRelay(aroundStep(testDate_, tp::fourStepMinute(dayPlan_, step_),
                                       tp::stepTurnsOn(step_))))
                return false;
            if (++step_ < tp::kFourSteps) return false;
            if (toLocal(testDate_).weekday < daysChecked()) {
                testDate_ = noonAfter(testDate_, 1);
                state_ = kNextDay;
                return false;
            }
            if (++rotation_ < kRotations.size()) {
                tp::setRotationWeek(tp::testGroup(s_.database), rotation());
                programmingChanged();
                state_ = kProgram;
                return false;
            }
            note(name() + ": Test Complete");
            return true;
        default:
            state_ = kProgram;
            return false;
    }
}

}  // namespace quirn
