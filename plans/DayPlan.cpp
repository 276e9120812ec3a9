#include "plans/DayPlan.h"

#include <algorithm>

#include "plans/PlanTypes.h"

namespace quirn {

DayPlan::DayPlan(int masterGroup, int group, int plan)
    : masterGroup_(masterGroup), group_(group), plan_(plan), name_(defaultName(plan)) {}

std::string DayPlan::defaultName(int plan) {
    return "Plan " + std::to_string(plan);
}

bool DayPlan::addStep(const Step& step) {
    if (std::find(steps_.begin(), steps_.end(), step) != steps_.end()) return false;
    if (static_cast<int>(steps_.size()) >= kMaxStepsPerDayPlan) return false;
    steps_.push_back(step);
    steps_.back().position = static_cast<int>(steps_.size()) - 1;
    return true;
}

bool DayPlan::removeStep(const Step& step) {
    auto it = std::find(steps_.begin(), steps_.end(), step);
    if (it == steps_.end()) return false;
    steps_.erase(it);
    return true;
}

void DayPlan::setSteps(const std::vector<Step>& steps) {
    steps_.clear();
    steps_.reserve(steps.size());
    for (const Step& s : steps) steps_.push_back(s.copyFor(masterGroup_, group_, plan_));
}

void DayPlan::sortSteps() {
    std::stable_sort(steps_.begin(), steps_.end(), [](const Step& a, const Step& b) {
        return a.minuteOfDay() < b.minuteOfDay();
    });
    for (size_t i = 0; i < steps_.size(); ++i) steps_[i].position = static_cast<int>(i);
}

}  // namespace quirn
