#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plans/DatedPlans.h"
#include "plans/DayPlan.h"
#include "plans/Location.h"
#include "plans/WeekPlan.h"

namespace quirn {

// A group's programming as a value (day plans with names and steps, default week, annual and
// vacation plans): what editors copy from one group to others and keep for undo.
struct GroupProgramming {
    std::vector<DayPlan> dayPlans;
    WeekPlan defaultWeek = WeekPlan::standard();
    std::vector<AnnualPlan> annualPlans;
    std::vector<VacationPlan> vacationPlans;
};

// A group of time switches sharing one programming: day plans, a default week, dated plans.
class Group {
  public:
    Group(int masterGroup, int number);

    int masterGroup() const { return masterGroup_; }
    int number() const { return number_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    static std::string defaultName(int number) { return "Group " + std::to_string(number); }

    // "%s, Group %d, Master Group %d" with master groups, else "%s, Group %d".
    std::string title(bool hasMasterGroups) const;
    // "%s,%d" (name, number) as list boxes show it.
    std::string listText() const;

    // --- Day plans -----------------------------------------------------------------------
    const std::vector<std::unique_ptr<DayPlan>>& dayPlans() const { return dayPlans_; }
    DayPlan* findDayPlan(int plan) const;
    DayPlan& dayPlan(int plan);  // created (named "Plan %d") when missing
    void setDayPlanName(int plan, std::string name);
    // Adds the step to the day plan of its number; false when an equal step exists.
    bool addStep(const Step& step);
    bool deleteDayPlan(int plan);
    void deleteSteps(int plan);
    void deleteAllSteps();
    // Deletes every day plan and resets the default week.
    void clearProgramming();
    // A copy of the programming; the same given back replaces it exactly.
    GroupProgramming programming() const;
    // Replaces the programming with a copy of one (of this or another group: its records take
    // this group's numbers) and marks the programming changed.
    void setProgramming(const GroupProgramming& programming);
    // The shown name of a day plan number in this group ("None", "Normal", "Holiday Plan", ...).
    std::string planName(int plan) const;
    // The same as day plan lists show it (100 is "Holiday").
    std::string dayPlanListName(int plan) const;
    // "Day Plan %d - %s".
    std::string dayPlanTitle(int plan) const;

    // --- Week -----------------------------------------------------------------------------
    const WeekPlan& defaultWeek() const { return defaultWeek_; }
    void setDefaultDay(int weekday, int plan);
    int nonStandardWeekdays() const { return defaultWeek_.differencesFromStandard(); }

    // --- Dated plans ----------------------------------------------------------------------
    const std::vector<AnnualPlan>& annualPlans() const { return annualPlans_; }
    const std::vector<VacationPlan>& vacationPlans() const { return vacationPlans_; }
    // Adds, or replaces the plan on the same date (dates are local midnights).
    void addAnnualPlan(const AnnualPlan& plan);
    // Adds, or replaces the plan with the same start and end dates.
    void addVacationPlan(const VacationPlan& plan);
    bool removeAnnualPlan(const AnnualPlan& plan);
    bool removeVacationPlan(const VacationPlan& plan);
    void sortAnnualPlans();
    const AnnualPlan* annualPlanOn(std::time_t date) const;
    const VacationPlan* vacationCovering(std::time_t date) const;

    // --- Locations ------------------------------------------------------------------------
    const std::vector<std::unique_ptr<Location>>& locations() const { return locations_; }
    // By number (constant time for 1..99).
    Location* findLocation(int number) const;
    // Stores a copy; when the number exists, that location only takes the name and type and is
    // marked changed. Returns the stored location.
    Location& addLocation(const Location& location);
    bool removeLocation(int number);
    // Takes a location out of the group whole (its read-back included), with its place in the
    // list; nullptr when there is none of that number.
    std::unique_ptr<Location> takeLocation(int number, size_t* index = nullptr);
    // Puts a location taken out back at its place (or last when the list is shorter). False,
    // and nothing changed, when the group holds that number or the location is of another group.
    bool putLocation(std::unique_ptr<Location> location, size_t index);
    // The lowest free location number, or 0 when all 99 are taken.
    int lowestFreeLocationNumber() const;

    // --- Program --------------------------------------------------------------------------
    bool programView() const { return programView_; }
    void setProgramView(bool qn510View) { programView_ = qn510View; }
    // Recomputes the program view from the locations' models.
    void recomputeProgramView();
    std::array<uint8_t, kProgramImageSize>& programImage() { return programImage_; }
    const std::array<uint8_t, kProgramImageSize>& programImage() const { return programImage_; }
    bool isImageCurrent() const { return imageCurrent_; }
    void setImageCurrent() { imageCurrent_ = true; }
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    // Every change of the programming goes through here: the image is stale, the group changed.
    void markProgrammingChanged() {
        imageCurrent_ = false;
        changed_ = true;
    }

  private:
    int masterGroup_;
    int number_;
    std::string name_;
    WeekPlan defaultWeek_ = WeekPlan::standard();
    bool programView_ = true;
    std::vector<std::unique_ptr<Location>> locations_;
    // The locations by number 1..99, beside the list: a stored location's numbers never change.
    std::array<Location*, kMaxLocation + 1> locationByNumber_{};
    std::vector<std::unique_ptr<DayPlan>> dayPlans_;
    std::vector<AnnualPlan> annualPlans_;
    std::vector<VacationPlan> vacationPlans_;
    std::array<uint8_t, kProgramImageSize> programImage_{};
    bool imageCurrent_ = false;
    bool changed_ = false;
};

// A master group and its groups, kept in ascending group number.
class MasterGroup {
  public:
    explicit MasterGroup(int number) : number_(number) {}
    int number() const { return number_; }
    const std::vector<std::unique_ptr<Group>>& groups() const { return groups_; }
    Group* findGroup(int number) const;
    Group& group(int number);  // created with default values when missing
    // Takes a group out whole (its locations and programming with it); nullptr when missing.
    std::unique_ptr<Group> removeGroup(int number);
    // Puts a group taken out back in its place. False, and nothing changed, when the number is
    // taken or the group is of another master group.
    bool insertGroup(std::unique_ptr<Group> group);

  private:
    int number_;
    std::vector<std::unique_ptr<Group>> groups_;
};

}  // namespace quirn
