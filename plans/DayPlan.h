#pragma once
#include <string>
#include <vector>

#include "plans/Step.h"

namespace quirn {

// A numbered day program of a group: at most 16 timed steps.
class DayPlan {
  public:
    DayPlan(int masterGroup, int group, int plan);

    int masterGroup() const { return masterGroup_; }
    int group() const { return group_; }
    int plan() const { return plan_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // The name a new plan gets ("Plan %d").
    static std::string defaultName(int plan);
    bool hasDefaultName() const { return name_ == defaultName(plan_); }

    const std::vector<Step>& steps() const { return steps_; }
    // Adds a copy of the step; false (and unchanged) when an equal step exists or the plan
    // already holds 16 steps.
    bool addStep(const Step& step);
    bool removeStep(const Step& step);
    void clearSteps() { steps_.clear(); }
    // Replaces the steps with copies that take this plan's numbers, in the order given.
    void setSteps(const std::vector<Step>& steps);
    // Sorts ascending by minute of day (not programmed first) and renumbers positions.
    void sortSteps();

  private:
    int masterGroup_;
    int group_;
    int plan_;
    std::string name_;
    std::vector<Step> steps_;
};

}  // namespace quirn
