#pragma once
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "plans/DatedPlans.h"
#include "plans/Group.h"
#include "platform/UnreadableFiles.h"

namespace quirn {

// Answers whether an override plan is in force today for a group. The override store fills it.
class OverrideQuery {
  public:
    virtual ~OverrideQuery() = default;
    virtual bool overrideInForce(int masterGroup, int group, std::time_t now) const = 0;
};

// The one in-memory store of all plan records. Records are owned here; everything else holds
// references or numbers. Master groups keep the order of first reference; groups within a
// master group are kept by ascending number.
class PlanDatabase {
  public:
    PlanDatabase();
    ~PlanDatabase();
    PlanDatabase(const PlanDatabase&) = delete;
    PlanDatabase& operator=(const PlanDatabase&) = delete;

    // --- Lookups (nullptr when the record does not exist) -------------------------------
    MasterGroup* findMasterGroup(int number) const;
    MasterGroup& masterGroup(int number);  // created on first reference
    Group* findGroup(int masterGroup, int group) const;
    Group& group(int masterGroup, int group);  // created with default values when missing
    Location* findLocation(int masterGroup, int group, int location) const;
    const std::vector<std::unique_ptr<MasterGroup>>& masterGroups() const { return masterGroups_; }
    // All groups: master groups in list order, groups by ascending number within each.
    std::vector<Group*> allGroups() const;
    std::vector<Group*> groupsOf(int masterGroup) const;
    // All locations in the order of all groups, each group's in list order.
    std::vector<Location*> allLocations() const;
    size_t locationCount() const;
    // Calls fn(Location&) for every location in that order (no list is built).
    template <typename Fn>
    void visitLocations(Fn&& fn) const {
        for (const auto& m : masterGroups_)
            for (const auto& g : m->groups())
                for (const auto& l : g->locations()) fn(*l);
    }
    // Takes a group out whole (locations and programming) and deletes its special week plans;
    // nullptr when there is no such group. Its master group stays, even when empty.
    std::unique_ptr<Group> removeGroup(int masterGroup, int group);
    // Puts a group taken out back (creating its master group when missing). False, and nothing
    // changed, when a group of its numbers exists.
    bool restoreGroup(std::unique_ptr<Group> group);
    // Drops a master group that holds no group; false when it holds one or does not exist.
    bool removeMasterGroupIfEmpty(int masterGroup);
    // Master group numbers that any record names, ascending.
    std::vector<int> masterGroupNumbers() const;

    // Names table within a group; "Not Named" when the group does not exist.
    std::string planName(int masterGroup, int group, int plan) const;
    int defaultDayPlan(int masterGroup, int group, int weekday) const;

    // --- Special week plans -------------------------------------------------------------
    const std::vector<SpecialWeekPlan>& specialWeekPlans() const { return specialWeekPlans_; }
    std::time_t specialWeekEnd() const { return specialWeekEnd_; }
    void setSpecialWeekEnd(std::time_t end) { specialWeekEnd_ = end; }
    // A special week plan is in force when its end time lies in 2007 or later.
    bool specialWeekInForce() const;
    // Adds, replacing the plan of the same master group and group.
    void addSpecialWeekPlan(const SpecialWeekPlan& plan);
    // The plan with exactly these numbers, or nullptr.
    const SpecialWeekPlan* findSpecialWeekPlan(int masterGroup, int group, int location) const;
    // The first plan of a master group and group, whichever location it names.
    const SpecialWeekPlan* specialWeekPlanOf(int masterGroup, int group) const;
    void clearSpecialWeekPlans();
    // When now is past the end: deletes all special week plans and resets the end to "never".
    void expireSpecialWeekPlans(std::time_t now);
    // Deletes the special week plans of a group (whichever location they name); false when it
    // had none.
    bool removeSpecialWeekPlansOf(int masterGroup, int group);
    // Replaces the list and the end as a whole (an editor's undo).
    void setSpecialWeekPlans(std::vector<SpecialWeekPlan> plans, std::time_t end);
    // The Monday after now's day, at 00:00:15 (a Monday's next Monday is a week on): the
    // special week plans' days count for dates before it.
    static std::time_t comingMonday(std::time_t now);

    // --- Effective week plans -----------------------------------------------------------
    WeekPlan effectiveWeek(int masterGroup, int group, int location) const;
    WeekPlan effectiveWeek(const Location& location) const {
        return effectiveWeek(location.masterGroup, location.group, location.number);
    }
    WeekPlan effectiveWeek(const Group& group) const {
        return effectiveWeek(group.masterGroup(), group.number(), 0);
    }

    // The day plan number a group runs on a date (now is today's time).
    int planForDate(int masterGroup, int group, std::time_t date, std::time_t now) const;
    void setOverrideQuery(const OverrideQuery* query) { overrides_ = query; }

    // --- Edits --------------------------------------------------------------------------
    void addDayPlan(int masterGroup, int group, int plan, const std::string& name);
    bool addStep(const Step& step);
    void addAnnualPlan(const AnnualPlan& plan);
    void addVacationPlan(const VacationPlan& plan);
    bool removeAnnualPlan(const AnnualPlan& plan);
    bool removeVacationPlan(const VacationPlan& plan);
    bool deleteDayPlan(int masterGroup, int group, int plan);
    void deleteSteps(int masterGroup, int group, int plan);
    // Stores a copy (or merges into the same-numbered location) and sets the model flags.
    Location& addLocation(const Location& location);

    // --- Model flags (only ever set) ----------------------------------------------------
    // Sets the flags of a model that a location now has (an edited model).
    void noteModel(int model);
    bool hasImageModels() const { return hasMx40OrLr40_; }
    bool hasPagedModels() const { return hasQn510OrStrider_; }
    bool hasLr40() const { return hasLr40_; }
    bool hasStrider() const { return hasStrider_; }

    bool loaded() const { return loaded_; }
    void setLoaded() { loaded_ = true; }

    // The database files that were there but could not be read at the last load; saves leave
    // them as they are.
    UnreadableFiles& unreadableFiles() { return unreadableFiles_; }
    const UnreadableFiles& unreadableFiles() const { return unreadableFiles_; }

  private:
    std::vector<SpecialWeekPlan> specialWeekPlans_;
    std::time_t specialWeekEnd_;
    std::vector<std::unique_ptr<MasterGroup>> masterGroups_;
    const OverrideQuery* overrides_ = nullptr;
    UnreadableFiles unreadableFiles_;
    bool loaded_ = false;
    bool hasMx40OrLr40_ = false;
    bool hasQn510OrStrider_ = false;
    bool hasLr40_ = false;
    bool hasStrider_ = false;
};

}  // namespace quirn
