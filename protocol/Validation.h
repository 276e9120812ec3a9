#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "plans/Location.h"
#include "protocol/PlanDownload.h"
#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"
#include "protocol/Qn510Tables.h"

namespace quirn {

// Result bits of a comparison; 0 means the location validates.
inline constexpr unsigned kProgramMismatch = 1;
inline constexpr unsigned kClockWrong = 2;
inline constexpr unsigned kStriderUnconfirmed = 4;

// Decides whether a time switch holds what the station's plans say it should, and whether its
// clock is right, from the location's last decoded read-back and read time.
class Validation {
  public:
    explicit Validation(PlanDownload& download) : download_(download) {}

    // Rebuilds the group's image for the location and compares by model. A location without
    // a read-back image of its model's kind fails on program and clock.
    unsigned compare(Location& location);
    // In "validate passed" or "validate failed": compares again and moves between the two;
    // any other state returns 1 unchanged.
    unsigned revalidate(Location& location);

    // What a QN510 of this location should hold: the group's paged texts (or, while the
    // location's summer plan is in effect, today's 'D' and its summer 'W') applied to a fresh
    // image. Uses the texts of the last image build.
    Qn510Tables expectedQn510(const Location& location) const;

    // Image comparison of the MX40 and LR40: address, default week, daylight-saving rule,
    // end mark, the day plans of the 446 days from `today`, and every slot's hours and minutes
    // (the relay byte of a step is not compared).
    static bool imagesMatch(const ProgramImage& expected, const ProgramImage& read,
                            std::time_t today);
    // The day plan of each of the 446 days from `today` as the image's default week and annual
    // entries give it.
    static std::vector<int> imageCalendar(const ProgramImage& image, std::time_t today);
    // QN510 comparison after normalising: default and alternate tables and flag bit 0.
    static bool tablesMatch(const Qn510Tables& expected, const Qn510Tables& read);
    // Entries with the same minute and command merged into one (days ORed), each table
    // rewritten by minute, ON before OFF.
    static Qn510Tables normalised(const Qn510Tables& tables);
    // True when the switch clock is 2 minutes or more off the read time either way, or is
    // "never".
    static bool clockWrong(std::time_t switchClock, std::time_t readTime);
    // The same judgement for a QN510 or Strider, which reports no date: its hour and minute are
    // taken on the read's date, and its weekday must be the read's.
    static bool qn510ClockWrong(const Qn510Image& image, std::time_t readTime);

  private:
    PlanDownload& download_;
};

}  // namespace quirn
