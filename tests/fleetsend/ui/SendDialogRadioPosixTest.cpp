// The send window over a station whose radio port is a pseudo-terminal with a quirn-sim QN510
// on it: a send confirmed, watched and stopped half-way shows exactly which items went and
// which were not sent, and "Validate these" reads back exactly the locations that went and
// shows the run's result beside the send's.
#include <QProgressBar>
#include <QTableView>
#include <map>
#include <set>

#include "fleetsend/SendLedger.h"
#include "fleetsend/ui/SendOutcomeModel.h"
#include "tests/fleetsend/ui/SendStationFixture.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"

namespace quirn::test {
namespace {

// Items that went before Stop is pressed: enough to be half-way, with more still waiting
// (the send hands the radio twelve seconds of air at a time).
constexpr std::size_t kSentBeforeStop = 3;

class SendDialogRadio : public SendStationFixture {
  protected:
    std::unique_ptr<SimProcess> sim;

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        sim = std::make_unique<SimProcess>(
            simulatorPath(),
            std::vector<std::string>{"--model", "QN510", "--address", "1,1,2", "--pty"},
            folder.file("sim.err"));
        ASSERT_TRUE(sim->started());
        const std::string device = sim->firstLine();
        ASSERT_FALSE(device.empty()) << readFile(folder.file("sim.err"));
        ASSERT_TRUE(startFleetStation(device));
        ASSERT_TRUE(app->comms()->commo().serialPort().isOpen());
    }

    void TearDown() override {
        StationRunFixture::TearDown();
        if (sim) sim->stop();
    }

    // Plans the whole fleet, sends it with the window's buttons and stops it once a few items
    // went; waits for the send's end.
    void sendAndStopHalfWay(SendProgrammingDialog& dialog) {
        ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
        auto* confirm = child<QPushButton>(dialog, "send");
        ASSERT_TRUE(confirm->isEnabled());
        confirm->click();
        ASSERT_TRUE(send().running());
        EXPECT_FALSE(child<QPushButton>(dialog, "cancel")->isEnabled());
        ASSERT_TRUE(stepUntil(dialog, [&] { return send().progress().sent >= kSentBeforeStop; }));
        const SendProgress p = send().progress();
        ASSERT_TRUE(p.running) << "the send ended before it could be stopped";
        auto* bar = child<QProgressBar>(dialog, "progress");
        EXPECT_EQ(bar->maximum(), static_cast<int>(p.total));
        EXPECT_EQ(bar->value(), static_cast<int>(p.done()));
        EXPECT_EQ(label(dialog, "current"), "On its way: " + p.current);
        EXPECT_EQ(label(dialog, "state").rfind("Sending to all locations: ", 0), 0u)
            << label(dialog, "state");
        auto* stop = child<QPushButton>(dialog, "stop");
        ASSERT_TRUE(stop->isEnabled());
        stop->click();
        EXPECT_FALSE(stop->isEnabled());
        ASSERT_TRUE(stepUntil(dialog, [&] { return !send().busy(); }));
    }

    // The locations the items that went programmed, as the ledger must know them.
    std::set<LocationKey> locationsThatWent() {
        std::set<LocationKey> keys;
        for (const SendItem& item : send().items()) {
            if (item.status != SendItem::Status::Sent) continue;
            if (item.kind == SendItem::Kind::Location) keys.insert(item.key);
            for (int number : item.locations)
                keys.insert({item.key.masterGroup, item.key.group, number});
        }
        return keys;
    }
};

TEST_F(SendDialogRadio, StoppedHalfWayTheTableShowsExactlyWhatWentAndWhatWasNotSent) {
    SendProgrammingDialog dialog(send(), app->validationRun(), SendSelection::all());
    dialog.show();
    sendAndStopHalfWay(dialog);
    ASSERT_TRUE(send().lastSummary().has_value());
    const SendSummary& summary = *send().lastSummary();
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(label(dialog, "summary"), summary.text());
    EXPECT_NE(label(dialog, "summary").find(" stopped: "), std::string::npos);
    EXPECT_GE(summary.sent, kSentBeforeStop);
    EXPECT_GT(summary.notSent, 0u);

    // Row by row, the table says what the send did; counted, it says what the summary says.
    const SendOutcomeModel& model = dialog.outcome();
    ASSERT_EQ(static_cast<std::size_t>(model.rowCount()), send().items().size());
    std::map<std::string, std::size_t> byStatus;
    for (int row = 0; row < model.rowCount(); ++row) {
        const SendItem& item = send().items()[static_cast<std::size_t>(row)];
        const std::string status =
            model.index(row, SendOutcomeModel::Status).data().toString().toStdString();
        ++byStatus[status];
        EXPECT_EQ(status, sendStatusName(item.status)) << item.name;
        EXPECT_EQ(model.index(row, SendOutcomeModel::Name).data().toString().toStdString(),
                  item.name);
        if (status == "not sent") {
            EXPECT_EQ(model.index(row, SendOutcomeModel::Reason).data().toString(),
                      "stopped before it was sent");
        }
    }
    EXPECT_EQ(byStatus["sent"], summary.sent);
    EXPECT_EQ(byStatus["not sent"], summary.notSent);
    EXPECT_EQ(byStatus["sent"] + byStatus["not sent"] + byStatus["given up"], send().items().size())
        << "an item still waiting or on its way after the end";
    // What the table calls sent is what the station recorded as sent: those locations are no
    // longer "changed", every other one still is.
    const std::set<LocationKey> went = locationsThatWent();
    ASSERT_FALSE(went.empty());
    std::size_t changed = 0;
    app->database().visitLocations([&](const Location& l) {
        const LocationKey key{l.masterGroup, l.group, l.number};
        EXPECT_EQ(app->sendLedger().isChanged(key), went.count(key) == 0)
            << l.masterGroup << "/" << l.group << "/" << l.number;
        if (app->sendLedger().isChanged(key)) ++changed;
    });
    EXPECT_GT(changed, 0u);
}

TEST_F(SendDialogRadio, ValidateTheseReadsExactlyTheLocationsThatWentAndShowsTheResult) {
    SendProgrammingDialog dialog(send(), app->validationRun(), SendSelection::all());
    dialog.show();
    auto* validate = child<QPushButton>(dialog, "validate");
    EXPECT_FALSE(validate->isEnabled()) << "nothing was sent yet";
    sendAndStopHalfWay(dialog);
    ASSERT_TRUE(validate->isEnabled());
    EXPECT_EQ(label(dialog, "runState"), "Not run yet.");
    validate->click();
    ASSERT_TRUE(run().running());
    EXPECT_FALSE(validate->isEnabled());
    const RunSelection selection = run().progress().selection;
    ASSERT_EQ(selection.scope, RunScope::Locations);
    ASSERT_NE(selection.locations, nullptr);
    const std::set<LocationKey> went = locationsThatWent();
    EXPECT_EQ(std::set<LocationKey>(selection.locations->begin(), selection.locations->end()),
              went);
    EXPECT_EQ(label(dialog, "runState").rfind("Reading " + selection.text(), 0), 0u)
        << label(dialog, "runState");

    ASSERT_TRUE(stepUntil(dialog, [&] { return !run().running(); }));
    ASSERT_TRUE(run().lastSummary().has_value());
    const RunSummary& result = *run().lastSummary();
    EXPECT_EQ(label(dialog, "runSummary"), result.text());
    EXPECT_EQ(child<QProgressBar>(dialog, "runProgress")->value(), 100);
    // Every location that went was read once; only the simulated switch answers (its group,
    // the first, went before Stop).
    EXPECT_EQ(result.counts.read(), went.size());
    EXPECT_EQ(went.count({1, 1, 2}), 1u);
    EXPECT_EQ(result.counts.passed + result.counts.validateFailed, 1u) << result.text();
    EXPECT_EQ(result.counts.connectionFailed, went.size() - 1) << result.text();
    // The send's outcome stays beside the run's.
    EXPECT_EQ(label(dialog, "summary"), send().lastSummary()->text());
}

}  // namespace
}  // namespace quirn::test
