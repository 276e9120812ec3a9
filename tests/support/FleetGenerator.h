#pragma once
#include <cstdint>
#include <ctime>

namespace quirn {
class PlanDatabase;
}

namespace quirn::test {

// Sizes of a generated fleet. The largest the numbering allows is 10 x 99 x 99.
struct FleetShape {
    int masterGroups = 2;
    int groupsPerMasterGroup = 3;
    int locationsPerGroup = 4;
    int dayPlansPerGroup = 9;  // plans 1..N, each with stepsPerDayPlan steps
    int stepsPerDayPlan = 16;
    int annualPlansPerGroup = 36;
    int vacationPlansPerGroup = 5;
    bool withSnapshot = true;  // fill every location's read-back snapshot
    uint32_t seed = 1;

    static FleetShape largest() { return {10, 99, 99, 9, 16, 36, 5, true, 7}; }
};

// Fills the database with a varied, valid fleet: every model, every connection kind, named
// day plans, non-standard weeks, special week plans. Dated plans start at `from`, so a save at
// that time keeps them all.
void generateFleet(PlanDatabase& db, const FleetShape& shape, std::time_t from);

}  // namespace quirn::test
