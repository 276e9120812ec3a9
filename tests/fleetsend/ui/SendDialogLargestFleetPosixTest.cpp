// The send window at the largest fleet (98,010 locations): opening it, each redraw while the
// send plans, goes and stops, the outcome table's reset, and the work of "Validate these" each
// stay within one frame of the window's thread, and so does each slice of the walk of a
// validation run of every location sent. Timed in the thread's own CPU time, so that
// other programs on the machine do not count.
#include <time.h>

#include <algorithm>

#include "fleetsend/ui/SendOutcomeModel.h"
#include "fleetsend/ui/SentLocations.h"
#include "tests/fleetsend/ui/SendStationFixture.h"
#include "validationrun/SelectionCursor.h"

namespace quirn::test {
namespace {

constexpr double kFrameMs = 16.0;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The longest of the steps it timed, and which it was.
struct LongestStep {
    double ms = 0;
    std::string what;

    template <typename Fn>
    void time(const std::string& name, Fn&& step) {
        const double before = threadCpuMs();
        step();
        const double took = threadCpuMs() - before;
        if (took > ms) {
            ms = took;
            what = name;
        }
    }
};

class SendDialogLargestFleet : public StationRunFixture {};

TEST_F(SendDialogLargestFleet, NoStepOfTheWindowTakesMoreThanAFrame) {
    writeFile(folder.file("groups.csv"), "");
    writeFile(folder.file("locations.csv"), "");
    writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    ASSERT_TRUE(startStation());
    FleetShape shape = FleetShape::largest();
    shape.withSnapshot = false;
    generateFleet(app->database(), shape, clock.now());
    ASSERT_EQ(app->database().locationCount(), 98010u);
    FleetSend& send = *app->fleetSend();

    LongestStep longest;
    std::unique_ptr<SendProgrammingDialog> dialog;
    longest.time("opening", [&] {
        dialog = std::make_unique<SendProgrammingDialog>(send, app->validationRun(),
                                                         SendSelection::all());
        dialog->show();
    });
    auto redrawn = [&] { longest.time("a redraw", [&] { dialog->redraw(); }); };
    ASSERT_TRUE(runUntil([&] { return send.planned(); }, FleetSend::kTickMs, redrawn));
    ASSERT_GT(dialog->outcome().rowCount(), 50000);
    longest.time("Send", [&] { dialog->findChild<QPushButton*>("send")->click(); });
    ASSERT_TRUE(runUntil([&] { return send.progress().done() > 0; }, FleetSend::kTickMs, redrawn));
    if (send.running())
        longest.time("Stop", [&] { dialog->findChild<QPushButton*>("stop")->click(); });
    ASSERT_TRUE(runUntil([&] { return !send.busy(); }, FleetSend::kTickMs, redrawn));
    redrawn();
    // "Validate these" when every item went: the locations of every item, as a run's list.
    std::vector<SendItem> allSent = send.items();
    for (SendItem& item : allSent) item.status = SendItem::Status::Sent;
    RunSelection selection;
    longest.time("Validate these", [&] {
        selection = RunSelection::ofLocations(sentLocations(allSent));
        EXPECT_EQ(selection.locations->size(), 98010u);
    });
    // The run walks that list a slice per tick, each location looked up in it.
    SelectionCursor cursor(app->database(), selection);
    std::size_t taken = 0;
    for (int slice = 0; slice < kMaxSteps && !cursor.done(); ++slice)
        longest.time("a slice of the run's walk", [&] {
            cursor.step(ValidationRun::kSelectionSlice, [&](Location&) { ++taken; });
        });
    EXPECT_EQ(taken, 98010u);
    EXPECT_LT(longest.ms, kFrameMs) << longest.what << " took " << longest.ms << " ms";
    std::printf("longest step of the send window at 98,010 locations: %s, %.2f ms\n",
                longest.what.c_str(), longest.ms);
}

}  // namespace
}  // namespace quirn::test
