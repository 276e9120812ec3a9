#pragma once
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "testing/ProgrammedTest.h"

namespace quirn::test {

// The annual-plan test's way of judging a switch, run on the days of a school year that the
// import wrote: the programming is the test group's own (this test writes none); it is
// downloaded and read back as the time tests do ("SchoolYear: Download OK."), then each day is
// checked with their relay check and reported in their lines ("SchoolYear:: PASSED off 735
// mins.").
class ImportedYearTest final : public ProgrammedTest {
  public:
    using ProgrammedTest::RelayCheck;

    struct DayCheck {
        std::string day;  // named in the line before the check: "Early release 2026-09-16"
        RelayCheck check;
    };

    ImportedYearTest(const TimeTestServices& services, std::vector<DayCheck> checks);

    std::string startText() const override;
    bool writesProgramming() const override { return false; }
    bool step() override;

    // The time tests' check of a step the day's plan holds (the clock set a minute before it, a
    // read at once and one after the step), with both reads judged: the relay is as it was
    // before the minute and turns on (or off) there. The switch works out its relay again after
    // every clock setting, so the read at once shows the day's own plan.
    static RelayCheck turnsAt(std::time_t day, int minuteOfDay, bool turnsOn);
    // The same around a step of a plan the day does not run: the relay stays `on` across it.
    static RelayCheck holdsAcross(std::time_t day, int minuteOfDay, bool on);

  private:
    enum State { kProgram = 0, kNextDay = 1, kChecking = 2 };

    std::vector<DayCheck> checks_;
    std::size_t next_ = 0;
};

}  // namespace quirn::test
