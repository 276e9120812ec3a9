#pragma once
#include <array>
#include <ctime>

#include "testing/ProgrammedTest.h"

namespace quirn {

// Default week plans: nine four-step day plans and a default week rotating them over the
// weekdays; every step of the days of one week is checked, for two rotations.
class TestDwp final : public ProgrammedTest {
  public:
    static constexpr int kDaysPerWeek = 7;
    // Rotation s puts day plan s on Sunday. The first is checked over a whole week; the second
    // brings the two plans the first leaves out onto Sunday and Monday and two of the others
    // onto Tuesday and Wednesday, and is checked from Sunday to Wednesday: 44 checks in all.
    struct Rotation {
        int rotation;
        int days;
    };
    static constexpr std::array<Rotation, 2> kRotations{{{1, kDaysPerWeek}, {8, 4}}};

    explicit TestDwp(const TimeTestServices& services);

    std::string startText() const override;
    void writeProgramming() override;
    bool step() override;
    // The day of the checked week for weekday w (1 = Sunday .. 7): the first week from a
    // Sunday after today without a daylight-saving change.
    std::time_t weekDate(int weekday) const { return week_[static_cast<std::size_t>(weekday - 1)]; }

  private:
    enum State { kProgram = 0, kNextDay = 1, kChecking = 2 };
    int rotation() const { return kRotations[rotation_].rotation; }
    int daysChecked() const { return kRotations[rotation_].days; }

    std::array<std::time_t, kDaysPerWeek> week_{};
    std::size_t rotation_ = 0;
};

}  // namespace quirn
