#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plans/OverridePlan.h"
#include "plans/PlanDatabase.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;
class PlanPager;

// How a load treats override.csv.
enum class OverrideLoadMode {
    // The station's load: a missing file is created empty, a file last written on another day
    // is deleted.
    Station,
    // Inspection (tools): the file is never created, changed or deleted; one last written on
    // another day is left alone and reads as no plans.
    ReadOnly,
};

// What a load found, for the caller to log.
struct OverrideLoadResult {
    bool fileRead = false;              // today's file was read
    bool staleFile = false;             // the file was last written on another day (and not read)
    bool fileDeleted = false;           // ... and was deleted
    size_t plans = 0;                   // plans in the store after the load
    size_t droppedSteps = 0;            // steps beyond a plan's limit, not stored
    std::vector<std::string> messages;  // one line per plan that lost steps
};

// The override plans of all groups as override.csv holds them, at most one per master group
// and group, in the order the file first names them. This program creates no override plan
// itself: the store holds what the file held when it was last loaded.
class OverrideStore : public OverrideQuery {
  public:
    // Waiting time before a plan is paged again.
    static constexpr std::time_t kResendSeconds = 60;
    // A tick stops adding plans to its batch after the plan that brings it past this size,
    // so the batch always fits the 4000-byte message buffer.
    static constexpr size_t kBatchLimit = 3000;

    // override.csv of `folder` is the file loaded and saved.
    OverrideStore(const Clock& clock, WorkingFolder folder);

    // Empties the store, then reads override.csv when it was last written today (by the
    // clock). Lines are split at every comma; unknown or short lines are ignored. Every plan's
    // steps are sorted by time.
    OverrideLoadResult load(OverrideLoadMode mode = OverrideLoadMode::Station);
    // The same from a text already in memory, taken as today's.
    OverrideLoadResult loadText(std::string_view text);

    // The text of override.csv: per plan its steps, then "Enabled" when it is in force.
    std::string fileText() const;
    // Writes override.csv through an atomic replace; false when it could not be written.
    bool save() const;

    const std::vector<OverridePlan>& plans() const { return plans_; }
    const OverridePlan* find(int masterGroup, int group) const;
    // The plan only when it is in force (enabled or paged).
    const OverridePlan* findInForce(int masterGroup, int group) const;

    // Pages the enabled plans (one batch, see kBatchLimit) and marks them paged. Returns the
    // number of plans paged. Run on every scheduler pass within a minute.
    size_t tick(PlanPager& pager);

    // The plans held are today's: loaded (from a file or a text) on the clock's current day.
    bool heldToday() const;

    // In force today: a plan in force, loaded from a file of the same day as now. Plans
    // loaded on an earlier day are no longer in force on the time switches.
    bool overrideInForce(int masterGroup, int group, std::time_t now) const override;

  private:
    OverridePlan* findPlan(int masterGroup, int group);
    void parse(std::string_view text, OverrideLoadResult& result);

    const Clock& clock_;
    WorkingFolder folder_;
    std::vector<OverridePlan> plans_;
    std::optional<std::time_t> loadedDay_;  // when the plans' file was written
};

}  // namespace quirn
