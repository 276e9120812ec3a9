#pragma once
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "protocol/PlanSources.h"

namespace quirn::test {

// Override and summer answers set by the test.
class FakeOverrides : public OverrideSource {
  public:
    OverrideState overrideOf(int masterGroup, int group) const override {
        auto it = states.find({masterGroup, group});
        return it == states.end() ? OverrideState{} : it->second;
    }
    void setActive(int masterGroup, int group, std::vector<PlanStep> steps) {
        states[{masterGroup, group}] = OverrideState{true, true, std::move(steps)};
    }
    void setInactive(int masterGroup, int group) {
        states[{masterGroup, group}] = OverrideState{true, false, {}};
    }
    std::map<std::pair<int, int>, OverrideState> states;
};

class FakeSummer : public SummerSource {
  public:
    std::vector<SummerStep> summerSteps(int mg, int g, int l) const override {
        auto it = steps.find({mg, g, l});
        return it == steps.end() ? std::vector<SummerStep>{} : it->second;
    }
    bool summerInEffect(int mg, int g, int l, std::time_t) const override {
        return inEffect && steps.count({mg, g, l}) != 0;
    }
    std::map<std::tuple<int, int, int>, std::vector<SummerStep>> steps;
    bool inEffect = true;
};

}  // namespace quirn::test
