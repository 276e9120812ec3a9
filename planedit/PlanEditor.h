#pragma once
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "planedit/EditOutcome.h"
#include "planedit/GroupKey.h"
#include "planedit/PlanEditTypes.h"
#include "planedit/PlanFieldRules.h"
#include "plans/SummerPlan.h"
#include "plans/WeekPlan.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;
class Group;
class OverrideStore;
class PlanDatabase;
class SummerPlanStore;
class UndoHistory;

// Edits the station's own plan records in memory: the same PlanDatabase the schedule and the
// loader read, so they see every edit at once. Nothing here writes the database files or
// summer.csv: the station's save of all does, atomically, as for any other change. The one
// exception is today's override, which lives only in override.csv (the station only loads it):
// an override edit replaces that file atomically and reloads the override store, so the
// scheduler pages the plan at its next tick.
//
// Every edit first checks what it is given with the rules of PlanFieldRules.h and the limits of
// the records (a value the plan check would refuse is never stored, and nothing the editor
// allows is lost or changed by a save and reload of the files); a refused edit changes nothing
// and says why. A done edit marks each group whose programming it changed
// (Group::markProgrammingChanged: the image is rebuilt, the group counts as changed), becomes
// one step of the undo history and is told to the listeners. An edit that would change nothing
// (a group renamed to its own name) is done without an undo step and without telling anyone.
//
// Undo keeps only what an edit touched: the affected groups' programming (day plans with their
// names and steps, default week, annual and vacation plans), name or locations, and the special
// week plans, the summer plans or the override file when the edit touches them. An edit costs
// time and memory in the size of its groups, never in the size of the fleet.
class PlanEditor {
  public:
    // Steps kept at most; older steps are forgotten first.
    static constexpr size_t kMaxUndoSteps = 200;

    PlanEditor(PlanDatabase& db, OverrideStore& overrides, SummerPlanStore& summer,
               const Clock& clock, const WorkingFolder& folder, bool hasMasterGroups);
    ~PlanEditor();
    PlanEditor(const PlanEditor&) = delete;
    PlanEditor& operator=(const PlanEditor&) = delete;

    bool hasMasterGroups() const { return hasMasterGroups_; }

    // --- Groups ----------------------------------------------------------------------------
    // A new group with no locations and the standard week. Refused for a master group outside
    // 1..10 (only 1 without master groups), a group outside 1..99, an existing group, or a name
    // checkRecordName refuses.
    EditOutcome addGroup(GroupKey group, const std::string& name);
    EditOutcome renameGroup(GroupKey group, const std::string& name);
    // Removes the group with its locations and programming, and its special week plan.
    EditOutcome removeGroup(GroupKey group);

    // --- Locations -------------------------------------------------------------------------
    // Adds a location; number 0 takes the lowest free number (told in the outcome's number).
    // Refused when the number is taken or outside 1..99, all 99 are taken, or a field is
    // refused by checkLocationFields.
    EditOutcome addLocation(GroupKey group, int number, const LocationFields& fields);
    // Replaces the edited fields of an existing location.
    EditOutcome updateLocation(GroupKey group, int number, const LocationFields& fields);
    EditOutcome removeLocation(GroupKey group, int number);
    // Every field's rule, and the rules between them: an IMSI only with the M2M client's
    // connection, a Strider time code other than 0 only on a Strider.
    static FieldCheck checkLocationFields(const LocationFields& fields);

    // --- Day plans -------------------------------------------------------------------------
    // Day plans 2..9 with a name other than "Plan N" (the files keep only such names, and an
    // unnamed plan without steps would not survive a reload). Plan 1 is the group's "Normal"
    // plan: it always exists by that name and only its steps are edited.
    EditOutcome addDayPlan(GroupKey group, int plan, const std::string& name);
    EditOutcome renameDayPlan(GroupKey group, int plan, const std::string& name);
    // Refused while the default week, a special week plan or an annual plan uses the plan; the
    // refusal names the use ("Monday of the default week", "the annual plan on 3 May 2027").
    EditOutcome removeDayPlan(GroupKey group, int plan);
    // Replaces the plan's steps (plan 1..9): at most 16, times 00:00..23:59, ON or OFF, no two
    // identical; stored sorted by time of day as every day plan is. A plan 2..9 must exist.
    EditOutcome setDayPlanSteps(GroupKey group, int plan, const std::vector<StepEntry>& steps);

    // --- Week plans ------------------------------------------------------------------------
    // One weekday (1 Sunday .. 7 Saturday) of the default week: 0 None, a defined plan 1..9,
    // or 100 Holiday.
    EditOutcome setDefaultDay(GroupKey group, int weekday, int plan);
    // The group's special week plan for the rest of this week, for the whole group (location
    // 0) or one location, replacing the group's former one. Every day takes a plan as
    // setDefaultDay does. The special week end becomes specialWeekEndFor(now): the special
    // week plans of every group end together.
    EditOutcome setSpecialWeek(GroupKey group, int location, const WeekPlan& days);
    EditOutcome clearSpecialWeek(GroupKey group);
    // The end of the week the special week plans are made for: the coming Monday at 00:00:15,
    // when the schedule stops taking the special week plan's days.
    static std::time_t specialWeekEndFor(std::time_t now);

    // --- Annual and vacation plans ---------------------------------------------------------
    // Gives a date a day plan (0 None, a defined 1..9, or 100 Holiday), replacing the date's
    // former plan. Refused for a date that is not a real date of 2000..2099, or one before this
    // week's Sunday (a save drops plans that old).
    EditOutcome setAnnualPlan(GroupKey group, CalendarDay date, int plan);
    EditOutcome clearAnnualPlan(GroupKey group, CalendarDay date);
    // A vacation over whole days start..end (refused when end is before start, or when it
    // ended before this week's Sunday).
    EditOutcome addVacation(GroupKey group, CalendarDay start, CalendarDay end);
    EditOutcome removeVacation(GroupKey group, CalendarDay start, CalendarDay end);

    // --- Today's override ------------------------------------------------------------------
    // Today's override of a group (location 0: all its locations): at most 16 steps, as a day
    // plan's. Enabled plans are paged at the scheduler's next tick. override.csv is replaced
    // atomically and the override store reloaded from it; refused when the file cannot be
    // written.
    EditOutcome setOverride(GroupKey group, int location, const std::vector<StepEntry>& steps,
                            bool enabled);
    // Also for a group this station does not have (another program may write override.csv).
    EditOutcome clearOverride(GroupKey group);

    // --- Summer plans (by index in the store) ----------------------------------------------
    // Adds a plan with no dates, locations or steps; its index is the outcome's number.
    EditOutcome addSummerPlan(const std::string& name);
    EditOutcome renameSummerPlan(int index, const std::string& name);
    // Real dates of 2000..2099, end not before start.
    EditOutcome setSummerDates(int index, CalendarDay start, CalendarDay end);
    // Existing locations, each once.
    EditOutcome setSummerLocations(int index, const std::vector<LocationKey>& locations);
    // At most kMaxSummerSteps ON/OFF pairs with times 00:00..23:59.
    static constexpr size_t kMaxSummerSteps = 8;
    EditOutcome setSummerSteps(int index, const std::vector<SummerPlanStep>& steps);
    EditOutcome removeSummerPlan(int index);

    // --- Whole groups ----------------------------------------------------------------------
    // Copies a group's programming (day plans with names and steps, default week, annual and
    // vacation plans; not its locations or name) to each of the other groups, replacing
    // theirs. One undoable step. Refused when a target does not exist or is the source.
    EditOutcome copyProgramming(GroupKey from, const std::vector<GroupKey>& to);

    // A batch of changes to the named groups as one undoable step (the calendar import applies
    // its changes through it). fn edits the programming and names of these groups (it may
    // create them); it must not touch other groups, locations, or remove groups. When fn
    // refuses, or leaves a group whose programming breaks the editor's rules (checked after,
    // see checkGroupProgramming), the groups are restored and the batch is refused.
    using BatchChange = std::function<EditOutcome(PlanDatabase&)>;
    EditOutcome change(const std::string& description, const std::vector<GroupKey>& groups,
                       const BatchChange& fn);
    // The rules every edit keeps, over a group's whole programming.
    static FieldCheck checkGroupProgramming(const Group& group);

    // --- Undo ------------------------------------------------------------------------------
    bool canUndo() const;
    // "Undo rename group", "" when there is nothing to undo.
    std::string undoText() const;
    // Puts back what the last edit changed (and tells the listeners). Refused when there is
    // nothing to undo, or (for an override) the file cannot be written.
    EditOutcome undo();

    // --- Listeners -------------------------------------------------------------------------
    // Told after every done edit and undo. Returns a handle for removeListener.
    using Listener = std::function<void(const PlanEditNotice&)>;
    int addListener(Listener listener);
    void removeListener(int handle);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool hasMasterGroups_;
};

}  // namespace quirn
