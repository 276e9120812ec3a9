#include "testing/TestStep16.h"

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "testing/DaylightChanges.h"

namespace quirn {

namespace tp = test_programming;

TestStep16::TestStep16(const TimeTestServices& services) : ProgrammedTest(services, "TestStep16") {
    for (int plan = 1; plan <= tp::kDayPlans; ++plan)
        dates_[static_cast<std::size_t>(plan)] = noonWithoutChange(
            noonAfter(now(), kDaysBetweenPlans * (plan - 1) + kFirstDayAfterToday));
}

std::string TestStep16::startText() const {
    return "Starting Sixteen Step Test.  Should run about 3 hours.";
}

void TestStep16::writeProgramming() {
    Group& group = tp::resetToSixteenStepPlans(s_.database);
    for (int plan = 1; plan <= tp::kDayPlans; ++plan)
        tp::addAnnualPlanOn(group, plan, planDate(plan));
    programmingChanged();
}

bool TestStep16::step() {
    switch (state_) {
        case kProgram:
            if (programSwitch()) {
                dayPlan_ = 1;
                state_ = kNextPlan;
            }
            return false;
        case kNextPlan:
            if (dayPlan_ > tp::kDayPlans) {
                note(name() + ":: Test Complete");
                return true;
            }
            note(name() + ":: DayPlan " + std::to_string(dayPlan_) + ".");
            step_ = 0;
            state_ = kChecking;
            return false;
        case kChecking:
            if (!checkRelay(aroundStep(planDate(dayPlan_), tp::sixteenStepMinute(dayPlan_, step_),
                                       tp::stepTurnsOn(step_))))
                return false;
            if (++step_ == tp::kSixteenSteps) {
                ++dayPlan_;
                state_ = kNextPlan;
            }
            return false;
        default:
            state_ = kProgram;
            return false;
    }
}

}  // namespace quirn
