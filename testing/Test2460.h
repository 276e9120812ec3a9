#pragma once
#include <ctime>

#include "testing/ProgrammedTest.h"

namespace quirn {

// Start minutes across the day: a day plan of six ON/OFF pairs, 240 minutes apart from a start
// minute, is checked a minute before and 14 minutes after every 120 minutes from the start
// minute to the end of the day; then the start minute moves on by an hour and a minute, so that
// every hour and many minutes of the hour are met. Where a step follows a check (the ON at the
// start of an ON period, the OFF 15 minutes later) the switch's clock is set shortly before the
// step, the relay read at once for the check and read again once the clock ran through the
// step: a clock setting alone lets a switch put its relay where the program says, so only a
// step met by the running clock shows a switch that misses it.
class Test2460 final : public ProgrammedTest {
  public:
    static constexpr int kFirstStartMinute = 223;
    static constexpr int kStartMinuteStride = 61;
    static constexpr int kHalfPeriod = 120;
    static constexpr int kBeforeMinutes = 1;
    static constexpr int kAfterMinutes = 14;
    static constexpr int kLastCheckMinute = 23 * 60 + 59;
    // A check sets the clock this long before the end of its minute and reads the relay at
    // once; the read after a step comes this much later than the lead. The date-flip test
    // trusts a setting seven seconds ahead; ten seconds keep the day's 380 reads to about 40
    // minutes. A switch whose clock setting carries no seconds starts the minute.
    static constexpr long long kLeadSeconds = 10;
    static constexpr long long kWholeMinuteLeadSeconds = 60;
    static constexpr long long kAfterStepMarginMs = 3000;
    // About how long the test runs on a real time switch.
    static constexpr int kExpectedMinutes = 40;

    explicit Test2460(const TimeTestServices& services);

    std::string startText() const override;
    void writeProgramming() override;
    bool step() override;
    // The day every check is made on: tomorrow, or the day after when tomorrow has a
    // daylight-saving change.
    std::time_t checkDay() const { return testDate_; }

  private:
    enum State { kProgram = 0, kChecking = 1 };
    // Check c of the start minute: even c a minute before half period c / 2, odd c 14 minutes
    // after it.
    int checkMinute(int check) const;
    bool checkExpectsOn(int check) const;
    // The half period of check c starts an ON period.
    bool onHalf(int check) const;
    RelayCheck stateCheck(int check) const;
    void writeStartMinute();

    int check_ = 0;
};

}  // namespace quirn
