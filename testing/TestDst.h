#pragma once
#include <vector>

#include "testing/DaylightChanges.h"
#include "testing/TimeTest.h"

namespace quirn {

// Daylight-saving changes: for each change the switch is set shortly before it and its clock is
// read an hour after it, so a switch that misses the change, or falls back twice in autumn, is
// an hour off.
class TestDst final : public TimeTest {
  public:
    // The clock is set this long before the change; it should read this far past the change
    // when it is read, and it is read this much later still, so that the whole seconds it
    // reports are past the expected time ...
    static constexpr long long kLeadSeconds = 15;
    static constexpr long long kExpectedAfterChangeSeconds = 3600;
    static constexpr long long kReadMarginMs = 2000;
    static constexpr long long kReadAfterMs =
        (kLeadSeconds + kExpectedAfterChangeSeconds) * 1000 + kReadMarginMs;  // 3617 s
    // ... and the test moves on when no answer has come this long after the setting.
    static constexpr long long kAnswerMs = 3629000;
    // The changes checked: those of the current year and the following ones, at most this many
    // (about 21 hours), none after kLastYear (the switches' clocks end in 2038).
    static constexpr std::size_t kChanges = 21;
    static constexpr int kLastYear = 2037;

    TestDst(const TimeTestServices& services, std::vector<DaylightChange> changes);
    // The changes the test runs through when started at `now`.
    static std::vector<DaylightChange> changesFrom(std::time_t now);

    std::string startText() const override;
    bool step() override;

  private:
    enum State { kSetClock = 0, kWaitPastChange = 1, kWaitForAnswer = 2 };
    void report();

    std::vector<DaylightChange> changes_;
    std::size_t next_ = 0;
};

}  // namespace quirn
