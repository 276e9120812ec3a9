// Times the plan editor's edits, undos and a copy to 100 groups at the largest fleet the
// numbering allows (10 x 99 x 99 locations), against one bare pass over every location in the
// same run: an edit must cost in the size of its groups, never of the fleet. Not a test.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "planedit/PlanEditor.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

constexpr int kRepeats = 200;
constexpr int kCopyTargets = 100;
constexpr int kCopyRuns = 5;

double timeMs(const std::function<void()>& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The mean of `runs` calls, in milliseconds.
double meanMs(int runs, const std::function<void()>& fn) {
    return timeMs([&] {
               for (int i = 0; i < runs; ++i) fn();
           }) /
           runs;
}

void print(const char* what, double ms, double bare) {
    std::printf("  %-44s %10.4f ms   %8.5fx bare\n", what, ms, bare > 0 ? ms / bare : 0.0);
}

void require(const EditOutcome& r, const char* what) {
    if (!r.done) std::printf("  %s refused: %s\n", what, r.refusal.c_str());
}

}  // namespace

int main() {
    test::TempFolder temp;
    const WorkingFolder folder = temp.workingFolder();
    const std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);
    ManualClock clock(now);
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape::largest(), now);
    OverrideStore overrides(clock, folder);
    SummerPlanStore summer(clock, folder);
    PlanEditor editor(db, overrides, summer, clock, folder, true);
    std::printf("Plan editor, largest fleet: %lu locations in %lu groups.\n",
                static_cast<unsigned long>(db.locationCount()),
                static_cast<unsigned long>(db.allGroups().size()));

    // The bare baseline: touch every location once, the least a fleet-wide pass costs.
    size_t touched = 0;
    const double bare =
        meanMs(5, [&] { db.visitLocations([&](Location& l) { touched += l.number > 0; }); });
    std::printf("  %-44s %10.4f ms\n", "bare pass over every location", bare);

    const GroupKey oak{5, 50};
    const std::vector<StepEntry> morning{{7, 0, kCommandOn}, {8, 15, kCommandOff}};
    const std::vector<StepEntry> afternoon{{14, 0, kCommandOn}, {15, 30, kCommandOff}};
    int flip = 0;
    const double steps = meanMs(kRepeats, [&] {
        require(editor.setDayPlanSteps(oak, 1, (++flip % 2) ? morning : afternoon), "steps");
    });
    const double stepsUndo = meanMs(kRepeats, [&] { require(editor.undo(), "undo"); });
    const double rename = meanMs(kRepeats, [&] {
        require(editor.renameGroup(oak, "School " + std::to_string(++flip)), "rename");
    });
    const double renameUndo = meanMs(kRepeats, [&] { require(editor.undo(), "undo"); });
    LocationFields fields;
    fields.connection = "192.0.2.10";
    const double location = meanMs(kRepeats, [&] {
        fields.name = "Gate " + std::to_string(++flip);
        require(editor.updateLocation(oak, 7, fields), "location");
    });
    const double locationUndo = meanMs(kRepeats, [&] { require(editor.undo(), "undo"); });

    std::vector<GroupKey> targets;
    for (int g = 1; g <= 99 && static_cast<int>(targets.size()) < kCopyTargets; ++g)
        targets.push_back({2, g});
    targets.push_back({3, 1});
    double copy = 0, copyUndo = 0;
    for (int run = 0; run < kCopyRuns; ++run) {
        copy += timeMs([&] { require(editor.copyProgramming(oak, targets), "copy"); });
        copyUndo += timeMs([&] { require(editor.undo(), "undo copy"); });
    }
    copy /= kCopyRuns;
    copyUndo /= kCopyRuns;

    print("day plan steps of one group (mean)", steps, bare);
    print("  its undo (mean)", stepsUndo, bare);
    print("rename a group (mean)", rename, bare);
    print("  its undo (mean)", renameUndo, bare);
    print("change a location (mean)", location, bare);
    print("  its undo (mean)", locationUndo, bare);
    char label[64];
    std::snprintf(label, sizeof label, "copy programming to %d groups (mean)",
                  static_cast<int>(targets.size()));
    print(label, copy, bare);
    print("  its undo (mean)", copyUndo, bare);
    if (touched == 0) std::printf("  (no location touched)\n");
    return 0;
}
