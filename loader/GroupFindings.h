#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "plans/PlanFinding.h"

namespace quirn {

// The plan check's findings by group, for the loader's list and its question before a write.
class GroupFindings {
  public:
    // No findings at all: every group is clean.
    GroupFindings() = default;
    explicit GroupFindings(const std::vector<PlanFinding>* findings);

    int count(int masterGroup, int group) const;
    // The question Write asks before it sends a group that has findings: the group, how many,
    // the first few as the check wrote them and where the rest are.
    std::string writeQuestion(int masterGroup, int group, const std::string& groupText) const;

  private:
    static int key(int masterGroup, int group) { return masterGroup * 100 + group; }
    const std::vector<PlanFinding>* findings_ = nullptr;
    std::unordered_map<int, int> counts_;
};

}  // namespace quirn
