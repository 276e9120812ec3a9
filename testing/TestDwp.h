#pragma once
#include <array>
#include <ctime>

#include "testing/ProgrammedTest.h"

namespace quirn {

// Default week plans: nine four-step day plans and a default week rotating them over the
// weekdays; every step of every day of one week is checked, for two rotations.
class TestDwp final : public ProgrammedTest {
  public:
    static constexpr int kDaysPerWeek = 7;
    // Rotation s puts day plan s on Sunday; the second rotation brings the two plans the first
    // leaves out onto Sunday and Monday and moves every other plan to another weekday.
    static constexpr std::array<int, 2> kRotations{1, 8};

    explicit TestDwp(const TimeTestServices& services);

    std::string startText() const override;
    void writeProgramming() override;
    bool step() override;
    // The day of the checked week for weekday w (1 = Sunday .. 7): the first week from a
    // Sunday after today without a daylight-saving change.
    std::time_t weekDate(int weekday) const {
        return week_[static_cast<std::size_t>(weekday - 1)];
    }

  private:
    enum State {
        kDownload = 0,
        kDownloading = 1,
        kNextDay = 2,
        kNextStep = 3,
        kChecking = 4,
    };
    int rotation() const { return kRotations[rotation_]; }

    std::array<std::time_t, kDaysPerWeek> week_{};
    std::size_t rotation_ = 0;
};

}  // namespace quirn
