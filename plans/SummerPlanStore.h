#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plans/SummerPlan.h"
#include "platform/UnreadableFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;
class PlanPager;

// "summer.csv" in a working folder.
std::string summerFileName(const WorkingFolder& folder);

// The named summer school plans as summer.csv holds them, in file order: what the file held at
// start-up, as the Plans window has edited it since (the station's save of all writes it back).
// Every active plan is paged to its locations each Monday at 04:00, one location per tick.
class SummerPlanStore {
  public:
    // Weekday (1 = Sunday) and time of day of the weekly page.
    static constexpr int kPageWeekday = 2;
    static constexpr int kPageHour = 4;
    static constexpr int kPageMinute = 0;

    // summer.csv of `folder` is the file loaded and saved.
    SummerPlanStore(const Clock& clock, WorkingFolder folder);

    // Empties the store, then reads summer.csv. False, and the store empty, when the file
    // cannot be read. Lines are read whole; unknown and short lines, lines before the first
    // "SummerPlan" line and values that name no real date, location or time are ignored.
    bool load();
    void loadText(std::string_view text);

    // The text of summer.csv: per plan its "SummerPlan", "StartDate", "EndDate", "Location" and
    // "Step" lines.
    std::string fileText() const;
    // Writes summer.csv through an atomic replace; false when it could not be written (the
    // caller goes on without a message). A file that existed but could not be read at the last
    // load is left as it is: the store never held its plans.
    bool save() const;
    // The same into summer.csv of another folder (a copy of the station's files).
    bool saveIn(const WorkingFolder& folder) const;

    const std::vector<SummerPlan>& plans() const { return plans_; }
    // The plans for the plan editor, which keeps them within what summer.csv can hold.
    std::vector<SummerPlan>& editablePlans() { return plans_; }
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }
    // The first plan that holds the location, or nullptr.
    const SummerPlan* findPlanOf(int masterGroup, int group, int location) const;
    // Active by the clock.
    bool isActive(const SummerPlan& plan) const;
    // Locations flagged and not yet paged.
    size_t pendingPages() const;

    // Pages the first flagged location, if any, and ends there. Otherwise, on the first tick
    // of Monday 04:00, flags every location of every active plan. Returns true when a location
    // was paged.
    bool tick(PlanPager& pager);

  private:
    const Clock& clock_;
    WorkingFolder folder_;
    std::vector<SummerPlan> plans_;
    std::optional<std::time_t> handledMinute_;
    UnreadableFiles unreadableFiles_;
};

}  // namespace quirn
