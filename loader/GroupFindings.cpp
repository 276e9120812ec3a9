#include "loader/GroupFindings.h"

#include "loader/LoaderTexts.h"
#include "platform/Format.h"

namespace quirn {

namespace {

// Enough to see what is wrong without a box taller than the screen.
constexpr int kFindingsShown = 5;

}  // namespace

GroupFindings::GroupFindings(const std::vector<PlanFinding>* findings) : findings_(findings) {
    if (findings_ == nullptr) return;
    for (const PlanFinding& f : *findings_)
        if (f.group != 0) ++counts_[key(f.masterGroup, f.group)];
}

int GroupFindings::count(int masterGroup, int group) const {
    auto it = counts_.find(key(masterGroup, group));
    return it == counts_.end() ? 0 : it->second;
}

std::string GroupFindings::writeQuestion(int masterGroup, int group,
                                         const std::string& groupText) const {
    const int total = count(masterGroup, group);
    std::string text =
        format(total == 1 ? loader_text::kWriteFindingOne : loader_text::kWriteFindingsMany,
               groupText.c_str(), total);
    int shown = 0;
    for (const PlanFinding& f : *findings_) {
        if (f.masterGroup != masterGroup || f.group != group) continue;
        if (shown++ == kFindingsShown) break;
        text += "\n" + findingLine(f);
    }
    if (total > kFindingsShown)
        text += "\n" + format(loader_text::kWriteFindingsMore, total - kFindingsShown);
    return text + "\n\n" + loader_text::kWriteFindingsAsk;
}

}  // namespace quirn
