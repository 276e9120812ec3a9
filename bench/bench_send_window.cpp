// The send window at the largest fleet (98,010 locations, the radio off), on Qt's offscreen
// platform over the real station on the manual clock: opening it, each redraw while the send
// plans, goes and stops, the station's ticks meanwhile (the plan's slices, the send), Send and
// Stop, the outcome table's reset, the list "Validate these"
// makes of every location sent, and each slice of a validation run's walk of that list. Prints
// the longest of each kind in the thread's own CPU time (other programs on the machine do not
// count) against one frame, 16 ms. Not a test: nothing fails.
#include <time.h>

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "app/StationApp.h"
#include "bench/BenchWindowTiming.h"
#include "fleetsend/FleetSend.h"
#include "fleetsend/ui/SendOutcomeModel.h"
#include "fleetsend/ui/SendProgrammingDialog.h"
#include "fleetsend/ui/SentLocations.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"
#include "validationrun/SelectionCursor.h"

using namespace quirn;

namespace {

constexpr double kFrameMs = 16.0;
// Bound of each wait: steps of the station's time.
constexpr int kMaxSteps = 20000;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The longest step of each kind.
class Steps {
  public:
    template <typename Fn>
    void time(const std::string& kind, Fn&& step) {
        const double before = threadCpuMs();
        step();
        double& longest = longest_[kind];
        longest = std::max(longest, threadCpuMs() - before);
    }
    void print() const {
        for (const auto& [kind, ms] : longest_)
            std::printf("  %-28s %8.2f ms%s\n", kind.c_str(), ms,
                        ms > kFrameMs ? "  OVER A FRAME" : "");
    }

  private:
    std::map<std::string, double> longest_;
};

}  // namespace

int main(int argc, char** argv) {
    bench::fixWindowEnvironment();
    QApplication qt(argc, argv);
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    test::writeFile(folder.file("groups.csv"), "");
    test::writeFile(folder.file("locations.csv"), "");
    test::writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 5)};
    VirtualTimerService timers{clock};
    StationApp app(clock, timers, working);
    if (!app.startUp()) return 1;
    test::FleetShape shape = test::FleetShape::largest();
    shape.withSnapshot = false;
    test::generateFleet(app.database(), shape, clock.now());
    // Every location's address gets its link, as the station's start-up gives it.
    CommoHandler& commo = app.comms()->commo();
    commo.beginTableBatch();
    app.database().visitLocations([&](Location& l) { commo.addLocationAddress(l); });
    commo.endTableBatch();
    FleetSend& send = *app.fleetSend();

    Steps steps;
    std::unique_ptr<SendProgrammingDialog> dialog;
    steps.time("opening (planning starts)", [&] {
        dialog = std::make_unique<SendProgrammingDialog>(send, app.validationRun(),
                                                         SendSelection::all());
        dialog->show();
    });
    const auto stepUntil = [&](const std::function<bool()>& done) {
        for (int n = 0; n < kMaxSteps && !done(); ++n) {
            steps.time("a tick (the plan's slice, the send)",
                       [&] { timers.advanceMs(FleetSend::kTickMs); });
            steps.time("a redraw", [&] { dialog->redraw(); });
        }
        return done();
    };
    if (!stepUntil([&] { return send.planned(); })) return 1;
    const int rows = dialog->outcome().rowCount();
    steps.time("Send", [&] { dialog->findChild<QPushButton*>("send")->click(); });
    if (!stepUntil([&] { return send.progress().done() > 0; })) return 1;
    if (send.running())
        steps.time("Stop", [&] { dialog->findChild<QPushButton*>("stop")->click(); });
    if (!stepUntil([&] { return !send.busy(); })) return 1;
    // "Validate these" when every item went: the locations of every item, as a run's list.
    std::vector<SendItem> allSent = send.items();
    for (SendItem& item : allSent) item.status = SendItem::Status::Sent;
    RunSelection selection;
    steps.time("Validate these (the list)",
               [&] { selection = RunSelection::ofLocations(sentLocations(allSent)); });
    SelectionCursor cursor(app.database(), selection);
    std::size_t taken = 0;
    for (int slice = 0; slice < kMaxSteps && !cursor.done(); ++slice)
        steps.time("a slice of the run's walk", [&] {
            cursor.step(ValidationRun::kSelectionSlice, [&](Location&) { ++taken; });
        });
    std::printf(
        "send window at %lu locations (%d rows in the outcome table, %lu locations "
        "walked for validation); longest step of each kind, thread CPU time:\n",
        static_cast<unsigned long>(app.database().locationCount()), rows,
        static_cast<unsigned long>(taken));
    steps.print();
    dialog.reset();
    app.shutDown();
    return 0;
}
