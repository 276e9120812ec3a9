#pragma once
#include <array>
#include <ctime>

#include "testing/ProgrammedTest.h"

namespace quirn {

// Annual plans: the nine sixteen-step day plans and 36 annual plans spread over the fifteen
// months the programming reaches, each checked on its date at one of its plan's steps.
class TestAp36 final : public ProgrammedTest {
  public:
    static constexpr int kAnnualPlans = 36;
    // Annual plan i (0..35) falls on the day 1 + 12i days after today (the next day when that
    // one has a daylight-saving change): the last 421 days ahead, inside the 446 days the
    // program image covers, and every weekday met.
    static constexpr int kFirstDayAfterToday = 1;
    static constexpr int kDaysBetweenPlans = 12;

    explicit TestAp36(const TimeTestServices& services);

    std::string startText() const override;
    void writeProgramming() override;
    bool step() override;
    std::time_t planDate(int annualPlan) const {
        return dates_[static_cast<std::size_t>(annualPlan)];
    }
    // Annual plan i uses day plan (i mod 8) + 2 and is checked at its step i mod 16.
    static int dayPlanOf(int annualPlan);
    static int checkedStepOf(int annualPlan);

  private:
    enum State { kProgram = 0, kNextPlan = 1, kChecking = 2 };

    std::array<std::time_t, kAnnualPlans> dates_{};
};

}  // namespace quirn
