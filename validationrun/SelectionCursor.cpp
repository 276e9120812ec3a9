#include "validationrun/SelectionCursor.h"

#include "plans/Group.h"
#include "plans/PlanDatabase.h"

namespace quirn {

bool SelectionCursor::wantsMasterGroup(int number) const {
    const bool numbered =
        selection_.scope == RunScope::MasterGroup || selection_.scope == RunScope::Group;
    return !numbered || number == selection_.masterGroup;
}

bool SelectionCursor::wantsMasterGroupAndGroup(int masterGroup, int group) const {
    return selection_.mayIncludeGroup(masterGroup, group);
}

bool SelectionCursor::step(std::size_t limit, const std::function<void(Location&)>& take) {
    const auto& masters = database_.masterGroups();
    std::size_t looked = 0;
    while (!done_ && looked < limit) {
        if (master_ >= masters.size()) {
            done_ = true;
            break;
        }
        const MasterGroup& m = *masters[master_];
        if (!wantsMasterGroup(m.number()) || group_ >= m.groups().size()) {
            ++master_;
            group_ = location_ = 0;
            ++looked;
            continue;
        }
        const Group& g = *m.groups()[group_];
        if (!wantsMasterGroupAndGroup(m.number(), g.number()) ||
            location_ >= g.locations().size()) {
            ++group_;
            location_ = 0;
            ++looked;
            continue;
        }
        Location& l = *g.locations()[location_++];
        ++looked;
        if (selection_.includes(l)) take(l);
    }
    return !done_;
}

}  // namespace quirn
