// Times the plans window over the largest fleet the numbering allows (10 x 99 x 99 locations) on
// Qt's offscreen platform: opening it, and the slowest single step of the window's thread while
// the technician works in it (picking a group of 99 locations, a location, each tab, an edit
// and its undo). The bare baseline is what a list that made one item per location up front
// would pay. Not a test: nothing fails.
#include <QApplication>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/BenchWindowTiming.h"
#include "planedit/ui/CopyProgrammingDialog.h"
#include "planedit/ui/PlansWindow.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

// A UI thread step longer than this misses a frame at 60 Hz.
constexpr double kFrameMs = 16.0;
constexpr int kRuns = 3;

}  // namespace

int main(int argc, char** argv) {
    bench::fixWindowEnvironment();
    QApplication app(argc, argv);
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    ManualClock clock(now);
    test::TempFolder folder;
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape::largest(), now);
    OverrideStore overrides(clock, folder.workingFolder());
    SummerPlanStore summer(clock, folder.workingFolder());
    std::printf("fleet: %zu groups, %zu locations\n", db.allGroups().size(), db.locationCount());

    auto services = [&] {
        return PlansWindowServices{db,   overrides, summer, clock, folder.workingFolder(),
                                   true, [] {},     {}};
    };
    const double open = bench::bestWindowStepOf(kRuns, [&] {
        PlansWindow window(services());
        window.show();
        QApplication::processEvents();
    });

    // The naive list: one widget item per group and per location, made before the window shows.
    const double naive = bench::bestWindowStepOf(1, [&] {
        QTreeWidget tree;
        for (const Group* g : db.allGroups()) {
            auto* item = new QTreeWidgetItem(&tree, {QString::fromStdString(g->listText())});
            for (const auto& l : g->locations())
                new QTreeWidgetItem(item, {QString::fromStdString(l->listText())});
        }
        tree.show();
    });

    PlansWindow window(services());
    window.show();
    QApplication::processEvents();
    const Group* last = db.allGroups().back();
    const int mg = last->masterGroup();
    const int g = last->number();
    double slowest = 0;
    std::string slowestStep;
    auto step = [&](const std::string& name, const std::function<void()>& fn) {
        const double ms = bench::windowStepMs(fn);
        std::printf("  %-44s %8.2f ms\n", name.c_str(), ms);
        if (ms > slowest) {
            slowest = ms;
            slowestStep = name;
        }
    };
    std::printf("steps of the window's thread at the largest fleet:\n");
    step("pick the last group (99 locations)", [&] { window.pick(mg, g); });
    step("pick its last location", [&] { window.pick(mg, g, last->locations().back()->number); });
    auto* tabs = window.findChild<QTabWidget*>("tabs");
    for (int t = 0; t < tabs->count(); ++t) {
        step("show tab \"" + tabs->tabText(t).toStdString() + "\"",
             [&] { tabs->setCurrentIndex(t); });
    }
    step("pick the group again", [&] { window.pick(mg, g); });
    step("rename the group", [&] { window.editor().renameGroup(GroupKey{mg, g}, "Renamed"); });
    step("undo the rename", [&] { window.editor().undo(); });
    step("open \"Copy programming to\" (989 groups)", [&] {
        CopyProgrammingDialog copy(window, GroupKey{mg, g}, &window);
        copy.show();
        QApplication::processEvents();
    });
    step("remove a location", [&] {
        window.editor().removeLocation(GroupKey{mg, g}, last->locations().back()->number);
    });

    std::printf("open the plans window: %.1f ms (best of %d)\n", open, kRuns);
    std::printf("a list with an item per location, made up front: %.1f ms (%.0fx the window)\n",
                naive, naive / open);
    std::printf("slowest step: %.2f ms (%s), %s the %.0f ms of a frame\n", slowest,
                slowestStep.c_str(), slowest <= kFrameMs ? "within" : "OVER", kFrameMs);
    return 0;
}
