#include "plans/OverridePlan.h"

#include <algorithm>

namespace quirn {

bool OverridePlan::addStep(const Step& step) {
    if (steps.size() >= kMaxSteps) return false;
    steps.push_back(step);
    return true;
}

void OverridePlan::sortSteps() {
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
        return a.minuteOfDay() < b.minuteOfDay();
    });
    int32_t position = 0;
    for (Step& s : steps) s.position = position++;
}

}  // namespace quirn
