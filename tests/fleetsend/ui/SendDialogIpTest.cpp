// The send window over IP links: quirn-sim switches on loopback, two WiFi MX40s and the M2M
// client with two QN510s behind it, and a WiFi address where nothing listens. Each location
// goes on its own link; the one that cannot be reached is given up with the reason and the
// others still go; "Validate these" reads back the four that went.
#include <QLayout>
#include <QPixmap>
#include <cstdlib>
#include <map>

#include "fleetsend/ui/SendOutcomeModel.h"
#include "tests/fleetsend/ui/SendStationFixture.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"

namespace quirn::test {
namespace {

constexpr const char* kFirstWifi = "127.0.0.21";
constexpr const char* kSecondWifi = "127.0.0.22";
constexpr const char* kUnreachableWifi = "127.0.0.23";
// The real time the simulators get between two steps of the station's time.
constexpr int kRealPollMs = 4;
constexpr int kShotWidth = 760;
constexpr int kShotHeight = 560;

class SendDialogIp : public StationRunFixture {
  protected:
    std::vector<std::unique_ptr<SimProcess>> sims;

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        const unsigned port = startSims();
        ASSERT_NE(port, 0u) << readFile(folder.file("sim1.err"));
        writeStation(locationLine(1, kFirstWifi, kMx40) + locationLine(2, kSecondWifi, kMx40) +
                         locationLine(3, kUnreachableWifi, kMx40) +
                         locationLine(4, kM2MAddress, kQn510) +
                         locationLine(5, kM2MAddress, kQn510),
                     "RadioPort,0\r\n", "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
        writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n");
        ASSERT_TRUE(startStation());
    }

    SimProcess& startSim(const std::vector<std::string>& args, const std::string& errName) {
        sims.push_back(std::make_unique<SimProcess>(simulatorPath(), args, folder.file(errName)));
        return *sims.back();
    }

    unsigned startSims() {
        SimProcess& first = startSim(
            {"--model", "MX40", "--address", "1,1,1", "--tcp", std::string(kFirstWifi) + ":0"},
            "sim1.err");
        const unsigned port = first.started() ? portOfLine(first.firstLine()) : 0;
        if (port == 0) return 0;
        const std::string p = ":" + std::to_string(port);
        const std::vector<std::vector<std::string>> others = {
            {"--model", "MX40", "--address", "1,1,2", "--tcp", kSecondWifi + p},
            {"--m2m", kM2MAddress + p, "--model", "QN510", "--address", "1,1,4", "--model", "QN510",
             "--address", "1,1,5"}};
        int n = 2;
        for (const auto& args : others) {
            SimProcess& sim = startSim(args, "sim" + std::to_string(n++) + ".err");
            if (!sim.started() || portOfLine(sim.firstLine()) != port) return 0;
        }
        return port;
    }

    FleetSend& send() { return *app->fleetSend(); }

    bool stepUntil(SendProgrammingDialog& dialog, const std::function<bool()>& done) {
        return runUntil(done, kSendStepMs, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
            dialog.redraw();
        });
    }

    static std::string label(QWidget& parent, const char* name) {
        auto* l = parent.findChild<QLabel*>(name);
        return l ? l->text().toStdString() : "(no label " + std::string(name) + ")";
    }

    void TearDown() override {
        StationRunFixture::TearDown();
        for (auto& sim : sims) sim->stop();
    }
};

TEST_F(SendDialogIp, EachLocationGoesOnItsLinkAndTheUnreachableOneIsGivenUpWithItsReason) {
    SendProgrammingDialog dialog(send(), app->validationRun(), SendSelection::all());
    dialog.resize(kShotWidth, kShotHeight);
    dialog.show();
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    EXPECT_EQ(send().estimate().wifiLocations, 3u);
    EXPECT_EQ(send().estimate().m2mLocations, 2u);
    EXPECT_EQ(label(dialog, "estimate"), send().estimate().text());
    dialog.findChild<QPushButton*>("send")->click();
    ASSERT_TRUE(stepUntil(dialog, [&] { return !send().busy(); }))
        << send().progress().done() << " of " << send().progress().total;

    // The table, row by row: location, link, status and reason.
    const SendOutcomeModel& model = dialog.outcome();
    std::map<int, std::vector<std::string>> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const SendItem& item = send().items()[static_cast<std::size_t>(row)];
        std::vector<std::string>& cells = rows[item.key.location];
        for (int c : {SendOutcomeModel::Link, SendOutcomeModel::Status, SendOutcomeModel::Reason})
            cells.push_back(model.index(row, c).data().toString().toStdString());
    }
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"WiFi", "sent", ""}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"WiFi", "sent", ""}));
    EXPECT_EQ(rows[3][0], "WiFi");
    EXPECT_EQ(rows[3][1], "given up");
    EXPECT_NE(rows[3][2].find(kUnreachableWifi), std::string::npos) << rows[3][2];
    EXPECT_EQ(rows[4], (std::vector<std::string>{"M2M client", "sent", ""}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"M2M client", "sent", ""}));
    EXPECT_EQ(label(dialog, "summary"), send().lastSummary()->text());
    EXPECT_NE(label(dialog, "summary").find("4 sent, 1 given up"), std::string::npos)
        << label(dialog, "summary");

    // The four that went are read back; every one of them answers.
    dialog.findChild<QPushButton*>("validate")->click();
    ASSERT_TRUE(app->validationRun()->running());
    EXPECT_EQ(app->validationRun()->progress().selection.text(), "4 locations");
    ASSERT_TRUE(stepUntil(dialog, [&] { return !app->validationRun()->running(); }));
    const RunSummary& result = *app->validationRun()->lastSummary();
    EXPECT_EQ(result.counts.read(), 4u);
    EXPECT_EQ(result.counts.connectionFailed, 0u) << result.text();
    EXPECT_EQ(label(dialog, "runSummary"), result.text());

    // The guide's picture of the window, on Linux and on Windows (made only when asked for).
    if (const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR")) {
        dialog.layout()->activate();
        QApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(QString(dir) + "/send-programming.png"));
    }
}

}  // namespace
}  // namespace quirn::test
