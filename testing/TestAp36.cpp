#include "testing/TestAp36.h"

#include "plans/PlanDatabase.h"
#include "protocol/AnnualCalendar.h"
#include "testing/DaylightChanges.h"
#include "testing/TestProgramming.h"

namespace quirn {

namespace tp = test_programming;

namespace {
constexpr int kPlansUsed = 8;
constexpr int kFirstPlanUsed = 2;
}  // namespace

TestAp36::TestAp36(const TimeTestServices& services) : ProgrammedTest(services, "TestAP36") {
    for (int i = 0; i < kAnnualPlans; ++i)
        dates_[static_cast<std::size_t>(i)] =
            noonWithoutChange(noonAfter(now(), kFirstDayAfterToday + kDaysBetweenPlans * i));
}

std::string TestAp36::startText() const {
    return "Starting Annual Plan Test.  Should run about 40 minutes.";
}

int TestAp36::dayPlanOf(int annualPlan) {
    return annualPlan % kPlansUsed + kFirstPlanUsed;
}

int TestAp36::checkedStepOf(int annualPlan) {
    return annualPlan % tp::kSixteenSteps;
}

void TestAp36::writeProgramming() {
    Group& group = tp::resetToSixteenStepPlans(s_.database);
    for (int i = 0; i < kAnnualPlans; ++i) tp::addAnnualPlanOn(group, dayPlanOf(i), planDate(i));
    programmingChanged();
}

bool TestAp36::step() {
    switch (state_) {
        case kProgram:
            if (programSwitch()) {
                annualPlan_ = 0;
                state_ = kNextPlan;
            }
            return false;
        case kNextPlan:
            if (annualPlan_ >= kAnnualPlans) {
                note(name() + ": Test Complete");
                return true;
            }
            note(name() + ":: AnnualPlanNumber " + std::to_string(annualPlan_) + ".");
            state_ = kChecking;
            return false;
        case kChecking: {
            const int step = checkedStepOf(annualPlan_);
            if (!checkRelay(aroundStep(planDate(annualPlan_),
                                       tp::sixteenStepMinute(dayPlanOf(annualPlan_), step),
                                       tp::stepTurnsOn(step))))
                return false;
            ++annualPlan_;
            state_ = kNextPlan;
            return false;
        }
        default:
            state_ = kProgram;
            return false;
    }
}

}  // namespace quirn
