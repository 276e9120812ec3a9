#pragma once
#include <array>
#include <ctime>

#include "testing/ProgrammedTest.h"
#include "testing/TestProgramming.h"

namespace quirn {

// Sixteen-step day plans: nine plans of sixteen steps, each plan on its own date by an annual
// plan, every step of every plan checked as the clock runs into it.
class TestStep16 final : public ProgrammedTest {
  public:
    // Day plan p runs on the day 7(p - 1) + 1 days after today (the next day when that one has
    // a daylight-saving change).
    static constexpr int kFirstDayAfterToday = 1;
    static constexpr int kDaysBetweenPlans = 7;

    explicit TestStep16(const TimeTestServices& services);

    std::string startText() const override;
    void writeProgramming() override;
    bool step() override;
    // The date day plan p (1..9) is checked on.
    std::time_t planDate(int plan) const { return dates_[static_cast<std::size_t>(plan)]; }

  private:
    enum State { kProgram = 0, kNextPlan = 1, kChecking = 2 };

    std::array<std::time_t, test_programming::kDayPlans + 1> dates_{};
};

}  // namespace quirn
