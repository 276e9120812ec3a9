#pragma once
#include <ctime>

#include "testing/TimeTest.h"

namespace quirn {

// Midnight date changes over the years: for each test date the switch is set to 23:59:53 and
// its clock read once it should have passed midnight; the date must have moved on.
class TestDateFlip final : public TimeTest {
  public:
    // The clock is read once this long has passed since the setting ...
    static constexpr long long kReadAfterMs = 9000;
    // ... and a read unanswered this long after it was asked is a lost answer.
    static constexpr long long kAnswerMs = 19000;
    // The test ends after this many days, or at the first date in kEndYear.
    static constexpr int kDays = 1825;
    static constexpr int kEndYear = 2038;

    // Starts from the date holding `firstDate`.
    TestDateFlip(const TimeTestServices& services, std::time_t firstDate);

    std::string startText() const override;
    bool step() override;

  private:
    enum State { kSetClock = 0, kWaitForMidnight = 1, kWaitForAnswer = 2 };
    bool finished() const;
    void nextDate();

    int days_ = 0;
};

}  // namespace quirn
