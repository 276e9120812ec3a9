#pragma once
#include <string>
#include <vector>

#include "testing/TestKind.h"

namespace quirn {

class PlanDatabase;

// What a technician is told before tests replace the programming of the test group.
namespace test_programming_notice {

// "group 1 of master group 1 ("Riverside"), with location 1 "Bench Switch" (MX40)" and every
// other location of the group.
std::string testGroupText(const PlanDatabase& db);

// The tests of `kinds` that suit the switch, and the names of those that do not.
struct Plan {
    std::vector<TestKind> runs;
    std::vector<std::string> passedOver;  // button names ("Date Flip")
    int minutes = 0;
};
Plan planFor(const std::vector<TestKind>& kinds, bool reportsDateAndSeconds);

// The question asked before `what` ("Step 16", "Test ALL") replaces the group's programming:
// the group and its locations, the archive (`archived`: made already) and how long it runs.
std::string question(const PlanDatabase& db, const std::string& what, const Plan& plan,
                     const std::string& archive, bool archived);

}  // namespace test_programming_notice
}  // namespace quirn
