#pragma once
#include <vector>

#include "protocol/CommandVorn.h"
#include "protocol/WeekSteps.h"

namespace quirn {

// Paged commands whose data is the week steps of a group: 'D' and the three 'W' kinds.
// Each holds the group's steps (all day plans) and the seven day plans to send.
class WeekStepsCommand : public PagedCommand {
  public:
    const WeekDays& dayPlan() const { return dayPlan_; }
    const std::vector<PlanStep>& groupSteps() const { return steps_; }
    void encodeWeekSteps(std::string& out, const WeekDays& dayPlan) const override;

  protected:
    WeekStepsCommand(int masterGroup, int group, int location, bool hasMasterGroups,
                     const WeekDays& dayPlan, std::vector<PlanStep> groupSteps)
        : PagedCommand(masterGroup, group, location, hasMasterGroups),
          dayPlan_(dayPlan),
          steps_(std::move(groupSteps)) {}

    std::string weekText() const;

  private:
    WeekDays dayPlan_;
    std::vector<PlanStep> steps_;
};

// 'D': the default week. With no steps the data is empty but the message is still sent,
// which clears the time switch's week.
class DefaultWeekCommand : public WeekStepsCommand {
  public:
    // dayPlan: the group's default week, or all 0 when the date being programmed lies in one
    // of the group's annual plans (see weekForDate).
    DefaultWeekCommand(int masterGroup, int group, int location, bool hasMasterGroups,
                       const WeekDays& dayPlan, std::vector<PlanStep> groupSteps)
        : WeekStepsCommand(masterGroup, group, location, hasMasterGroups, dayPlan,
                           std::move(groupSteps)) {}

    // The week a 'D' for a date carries: the default week, or no plans on any day when the
    // date lies in an annual plan.
    static WeekDays weekForDate(const WeekDays& defaultWeek, bool dateInAnnualPlan);

    std::string bytes() const override;
};

// 'W' of the special-week scan: sent only when the scan found the week changed.
class SpecialWeekCommand : public WeekStepsCommand {
  public:
    SpecialWeekCommand(int masterGroup, int group, int location, bool hasMasterGroups,
                       const WeekDays& dayPlan, bool changed, std::vector<PlanStep> groupSteps)
        : WeekStepsCommand(masterGroup, group, location, hasMasterGroups, dayPlan,
                           std::move(groupSteps)),
          changed_(changed) {}

    bool changed() const { return changed_; }
    std::string bytes() const override;

  protected:
    // Summer plans carry their own steps and are always sent.
    SpecialWeekCommand(int masterGroup, int group, int location, bool hasMasterGroups)
        : WeekStepsCommand(masterGroup, group, location, hasMasterGroups, WeekDays{}, {}),
          changed_(true) {}

  private:
    bool changed_;
};

// 'W' of a location's summer school plan: every entry switches ON and OFF on Monday..Friday.
// Built whenever asked; a location without entries gets a 'W' with empty data.
class SummerWeekCommand : public SpecialWeekCommand {
  public:
    SummerWeekCommand(int masterGroup, int group, int location, bool hasMasterGroups,
                      std::vector<SummerStep> entries)
        : SpecialWeekCommand(masterGroup, group, location, hasMasterGroups),
          entries_(std::move(entries)) {}

    // The summer encoder: the day plans are not used.
    void encodeWeekSteps(std::string& out, const WeekDays& dayPlan) const override;

  private:
    std::vector<SummerStep> entries_;
};

// 'W' of a location's own stored special week plan: sent only when one was found.
class LocationWeekCommand : public WeekStepsCommand {
  public:
    LocationWeekCommand(int masterGroup, int group, int location, bool hasMasterGroups,
                        const WeekDays& dayPlan, bool found, std::vector<PlanStep> groupSteps)
        : WeekStepsCommand(masterGroup, group, location, hasMasterGroups, dayPlan,
                           std::move(groupSteps)),
          found_(found) {}

    bool found() const { return found_; }
    std::string bytes() const override;

  private:
    bool found_;
};

}  // namespace quirn
