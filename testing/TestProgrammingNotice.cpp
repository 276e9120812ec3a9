#include "testing/TestProgrammingNotice.h"

#include "plans/PlanDatabase.h"
#include "testing/SwitchUnderTest.h"

namespace quirn::test_programming_notice {

namespace {

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += i + 1 == items.size() ? " and " : ", ";
        out += items[i];
    }
    return out;
}

}  // namespace

std::string testGroupText(const PlanDatabase& db) {
    std::string text = "group " + std::to_string(SwitchUnderTest::kGroup) + " of master group " +
                       std::to_string(SwitchUnderTest::kMasterGroup);
    const Group* group = db.findGroup(SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup);
    if (group == nullptr) return text;
    text += " (\"" + group->name() + "\")";
    std::vector<std::string> locations;
    for (const auto& l : group->locations())
        locations.push_back(std::to_string(l->number) + " \"" + l->name + "\" (" +
                            modelShortName(l->model) + ")");
    if (locations.empty()) return text + ", which has no locations";
    return text + ", with location" + (locations.size() == 1 ? " " : "s ") + joined(locations);
}

Plan planFor(const std::vector<TestKind>& kinds, bool reportsDateAndSeconds) {
    Plan plan;
    for (TestKind kind : kinds) {
        const TestKindInfo& info = testKindInfo(kind);
        if (suitsSwitch(kind, reportsDateAndSeconds)) {
            plan.runs.push_back(kind);
            plan.minutes += info.minutes;
        } else {
            plan.passedOver.push_back(info.button);
        }
    }
    return plan;
}

std::string question(const PlanDatabase& db, const std::string& what, const Plan& plan,
                     const std::string& archive, bool archived) {
    std::string text = what + " replaces the programming of " + testGroupText(db) +
                       ", and sends its own to location 1.\n\n";
    text += archived ? "The database was archived to " + archive + " before the first test."
                     : "The database is archived first, to " + archive + ".";
    text += " \"Restore programming\" puts it back.\n\n";
    text += what + " runs about " + durationText(plan.minutes) + ".";
    if (!plan.passedOver.empty())
        text += " " + joined(plan.passedOver) + (plan.passedOver.size() == 1 ? " does" : " do") +
                " not suit this time switch and will be passed over.";
    return text + "\n\nReplace the programming and start?";
}

}  // namespace quirn::test_programming_notice
