// `quirnctl send-plan` sends a working folder's programming to quirn-sim switches, in real time:
// a QN510 group and an MX40 on the radio (the simulator's pseudo-terminal, or its named pipe on
// Windows) and MX40s on loopback TCP. The switches are read back afterwards with
// `quirnctl loader read`, and what the send wrote (sent.csv, the System log) is looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "QuirnctlRunner.h"
#include "app/StationApp.h"
#include "fleetsend/SendEstimate.h"
#include "fleetsend/SendLedger.h"
#include "plans/DatabaseFiles.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/SerialDevice.h"
#include "platform/SingleInstance.h"
#include "protocol/ProgramImage.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::simulatorPath;
using test::ToolRun;

constexpr const char* kAttachedQn510 = "0";
constexpr int kRadioBaud = 2400;
constexpr unsigned kProgramDiffers = 1;  // validate's result bit
constexpr unsigned kNothingRead = ~0u;
constexpr int kImageWaits = 100;
constexpr int kImageWaitMs = 100;

// The decimal number a line starts with.
std::optional<unsigned> parseUnsigned(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// "YYYY-MM-DD HH:MM:SS" in local time, as quirnctl takes it.
std::string localText(std::time_t t) {
    return formatLocal("%Y-%m-%d %H:%M:%S", t);
}

// The names in a folder, sorted.
std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// What the send recorded in the folder's sent.csv, read as the station reads it.
struct Ledger {
    bool fileThere = false;
    SendLedger ledger;
    bool sent(int mg, int g, int l) const {
        const SendLedger::Entry* e = ledger.find({mg, g, l});
        return e != nullptr && !e->changed && e->sentAt > 0;
    }
};

class QuirnctlSendPlan : public ::testing::Test {
  protected:
    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        PlanDatabase db;
        addSchool(db, 1, "Elm", TimeSwitchModel::QN510, kRadioAddress, 7, 15);
        addSchool(db, 2, "Oak", TimeSwitchModel::MX40, kRadioAddress, 7, 30);
        ASSERT_TRUE(saveDatabase(db, work.workingFolder(), SystemClock().now()));
        // A station's folder has its log folder; the send's System log lines go there.
        ASSERT_TRUE(makeFolders(work.logs()));
    }

    static void addSchool(PlanDatabase& db, int g, const std::string& name, TimeSwitchModel model,
                          const std::string& connection, int hour, int minute, int locations = 1) {
        db.group(1, g).setName(name);
        for (int n = 1; n <= locations; ++n) {
            Location l(1, g, n);
            l.name = name + " " + std::to_string(n);
            l.model = static_cast<int32_t>(model);
            l.connection = connection;
            db.addLocation(l);
        }
        db.addStep(Step::atTime(1, g, kPlanNormal, hour, minute, kCommandOn));
        db.addStep(Step::atTime(1, g, kPlanNormal, hour + 1, minute, kCommandOff));
    }

    // The simulated switch on the radio; its device for --port.
    std::string startRadio(const std::string& model, const std::string& address) {
        radio = std::make_unique<test::SimProcess>(
            simulatorPath(),
            std::vector<std::string>{"--model", model, "--address", address, "--pty", "--log",
                                     scratch.file("radio.log")},
            scratch.file("radio.err"));
        return radio->started() ? radio->firstLine() : std::string();
    }

    ToolRun send(std::vector<std::string> args) {
        std::vector<std::string> all = {"send-plan", "--folder", work.path(), "--port", device};
        all.insert(all.end(), args.begin(), args.end());
        return test::runQuirnctl(all, scratch.path());
    }

    ToolRun loaderRead(const char* type, const std::string& group) {
        return test::runQuirnctl(
            {"--root", work.path(), "loader", "--port", device, "--type", type, "read", "1", group},
            scratch.path());
    }

    // The byte count of what quirnctl builds for a group's pages or a location's programming.
    std::size_t programBytes(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", work.path()});
        const ToolRun run = test::runQuirnctl(args, scratch.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out.size();
    }

    Ledger ledger() const {
        Ledger l;
        l.fileThere = fileExists(work.file(SendLedger::kFileName));
        EXPECT_TRUE(l.ledger.load(work.file(SendLedger::kFileName)));
        return l;
    }

    std::string systemLog() const {
        std::string all;
        for (const std::string& name : listFolder(work.logs()))
            if (name.rfind("System_", 0) == 0) all += test::readFile(work.logs() + name);
        return all;
    }

    // Reads the image of the MX40 at 1,2,1 over the radio with the station's read request and
    // judges it as the station's validation does: the result bits, or kNothingRead.
    unsigned validateMx40() {
        const ToolRun request = test::runQuirnctl(
            {"--root", work.path(), "message", "mx40-read", "1", "2", "1"}, scratch.path());
        EXPECT_EQ(request.exitCode, 0) << request.err;
        const std::time_t readTime = SystemClock().now();
        std::string image;
        {
            std::unique_ptr<SerialDevice> port = createSerialDevice();
            if (!port->open(device, kRadioBaud)) return kNothingRead;
            const auto* bytes = reinterpret_cast<const unsigned char*>(request.out.data());
            if (port->write(bytes, request.out.size()) != static_cast<long>(request.out.size()))
                return kNothingRead;
            // 968 bytes at 2400 baud take about 4 seconds.
            unsigned char buffer[256];
            for (int wait = 0; wait < kImageWaits && image.size() < ProgramImage::kSize; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kImageWaitMs));
                const long n = port->read(buffer, sizeof buffer);
                if (n > 0) image.append(reinterpret_cast<const char*>(buffer), n);
            }
        }
        EXPECT_EQ(image.size(), ProgramImage::kSize);
        if (!test::writeFile(scratch.file("image.bin"), image)) return kNothingRead;
        const ToolRun judged =
            test::runQuirnctl({"--root", work.path(), "validate", "1", "2", "1",
                               scratch.file("image.bin"), "--read-time", localText(readTime)},
                              scratch.path());
        EXPECT_NE(judged.exitCode, 2) << judged.err;
        const auto result = judged.exitCode == 2 ? std::nullopt : parseUnsigned(judged.out);
        return result.value_or(kNothingRead);
    }

    std::string radioLog() const { return test::readFile(scratch.file("radio.log")); }

    test::TempFolder work;
    test::TempFolder scratch;
    std::unique_ptr<test::SimProcess> radio;
    std::string device;
};

TEST_F(QuirnctlSendPlan, AllGoesOutOverTheRadioAndTheSwitchMatchesThenNothingIsChanged) {
    device = startRadio("QN510", "1,1,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    // The switch starts empty: a read before the send finds it different.
    const ToolRun before = loaderRead(kAttachedQn510, "1");
    EXPECT_EQ(before.exitCode, 1) << before.out << before.err;

    const std::size_t pages = programBytes({"group-program", "1", "1"});
    const std::size_t image = programBytes({"program", "1", "2", "1"});
    ASSERT_GT(pages, 0u);
    ASSERT_GT(image, 0u);
    const ToolRun all = send({"--all"});
    ASSERT_EQ(all.exitCode, 0) << all.out << all.err;
    EXPECT_NE(
        all.out.find("2 messages, " + groupedNumber(pages + image) +
                     " bytes, to 2 locations.\nRadio: 1 group paged, 1 location one by one, " +
                     groupedNumber(pages + image) + " bytes, "),
        std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("group 1 of master group 1: 1 sent, 0 given up, 0 not sent (" +
                           std::to_string(pages) + " bytes)"),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("Sending programming to all locations ended: 2 sent, 0 given up (" +
                           groupedNumber(pages + image) + " bytes)."),
              std::string::npos)
        << all.out;
    const Ledger after = ledger();
    EXPECT_TRUE(after.fileThere);
    EXPECT_TRUE(after.sent(1, 1, 1));
    EXPECT_TRUE(after.sent(1, 2, 1));
    EXPECT_NE(systemLog().find("Sending programming to all locations ended: 2 sent"),
              std::string::npos)
        << systemLog();
    // The group's pages reached the switch: what it holds is the group's programming.
    const ToolRun read = loaderRead(kAttachedQn510, "1");
    EXPECT_EQ(read.exitCode, 0) << read.out << read.err;
    EXPECT_NE(read.out.find("Program matches the group."), std::string::npos) << read.out;

    // Everything went out and nothing was edited since.
    const ToolRun changed = send({"--changed"});
    EXPECT_EQ(changed.exitCode, 0) << changed.out << changed.err;
    EXPECT_NE(changed.out.find("0 messages, 0 bytes, to 0 locations."), std::string::npos)
        << changed.out;

    // A location the record does not know (as one never sent) counts as changed.
    const std::string path = work.file(SendLedger::kFileName);
    std::string text = test::readFile(path);
    const std::size_t row = text.find("1,2,1,");
    ASSERT_NE(row, std::string::npos) << text;
    text.erase(row, text.find('\n', row) + 1 - row);
    ASSERT_TRUE(test::writeFile(path, text));
    const ToolRun again = send({"--changed", "--dry-run"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("1 message, " + groupedNumber(image) + " bytes, to 1 location."),
              std::string::npos)
        << again.out;
}

TEST_F(QuirnctlSendPlan, AnMx40OnTheRadioTakesItsImage) {
    device = startRadio("MX40", "1,2,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    // Empty before the send: the image read back differs from the group's programming.
    const unsigned before = validateMx40();
    ASSERT_NE(before, kNothingRead);
    EXPECT_EQ(before & kProgramDiffers, kProgramDiffers) << before;

    const ToolRun group = send({"--group", "1:2"});
    ASSERT_EQ(group.exitCode, 0) << group.out << group.err;
    EXPECT_NE(group.out.find("Sending programming to group 2 of master group 1 ended: 1 sent, 0 "
                             "given up"),
              std::string::npos)
        << group.out;
    const Ledger sent = ledger();
    EXPECT_TRUE(sent.sent(1, 2, 1));
    EXPECT_FALSE(sent.sent(1, 1, 1));  // not selected
    const unsigned after = validateMx40();
    ASSERT_NE(after, kNothingRead);
    EXPECT_EQ(after & kProgramDiffers, 0u) << after;
}

TEST_F(QuirnctlSendPlan, ASwitchGoneFromItsIpLinkIsGivenUpAndTheOthersStillGo) {
    device = startRadio("QN510", "1,1,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    test::SimProcess answering(simulatorPath(),
                               {"--model", "MX40", "--address", "1,3,1", "--tcp", "127.0.0.5:0",
                                "--log", scratch.file("wifi1.log")},
                               scratch.file("wifi1.err"));
    const std::string listening = answering.firstLine();
    ASSERT_EQ(listening.rfind("127.0.0.5:", 0), 0u) << test::readFile(scratch.file("wifi1.err"));
    const std::string port = listening.substr(listening.find(':') + 1);
    {
        test::SimProcess gone(
            simulatorPath(),
            {"--model", "MX40", "--address", "1,3,2", "--tcp", "127.0.0.6:" + port},
            scratch.file("wifi2.err"));
        ASSERT_EQ(gone.firstLine(), "127.0.0.6:" + port)
            << test::readFile(scratch.file("wifi2.err"));
        // Windows ends it at once, with no exit code to look at; it is gone either way.
        gone.stop();
    }
    PlanDatabase db;
    loadDatabase(db, work.workingFolder(), SystemClock().now());
    Location a(1, 3, 1);
    a.name = "Pine 1";
    a.model = static_cast<int32_t>(TimeSwitchModel::MX40);
    a.connection = "127.0.0.5";
    Location b = a;
    b.number = 2;
    b.name = "Pine 2";
    b.connection = "127.0.0.6";
    db.group(1, 3).setName("Pine");
    db.addLocation(a);
    db.addLocation(b);
    db.addStep(Step::atTime(1, 3, kPlanNormal, 8, 0, kCommandOn));
    db.addStep(Step::atTime(1, 3, kPlanNormal, 9, 0, kCommandOff));
    ASSERT_TRUE(saveDatabase(db, work.workingFolder(), SystemClock().now()));
    ASSERT_TRUE(
        test::writeFile(work.file(kProfileStoreFileName), "[Commo]\r\nIPPort=" + port + "\r\n"));

    const ToolRun all = send({"--all"});
    EXPECT_EQ(all.exitCode, 1) << all.out << all.err;
    EXPECT_NE(all.out.find("WiFi: 2 locations."), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("given up: Pine 2 (1, 3, 2) by WiFi 127.0.0.6: "), std::string::npos)
        << all.out;
    EXPECT_EQ(count(all.out, "given up: "), 1) << all.out;
    EXPECT_NE(all.out.find("group 3 of master group 1: 1 sent, 1 given up, 0 not sent"),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find("ended: 3 sent, 1 given up"), std::string::npos) << all.out;
    const Ledger after = ledger();
    EXPECT_TRUE(after.sent(1, 1, 1));
    EXPECT_TRUE(after.sent(1, 2, 1));
    EXPECT_TRUE(after.sent(1, 3, 1));
    EXPECT_FALSE(after.sent(1, 3, 2));
    EXPECT_NE(test::readFile(scratch.file("wifi1.log")).find("(968 bytes) : program image taken"),
              std::string::npos)
        << test::readFile(scratch.file("wifi1.log"));
    EXPECT_NE(systemLog().find("Programming for Pine 2 (1, 3, 2) by WiFi given up"),
              std::string::npos)
        << systemLog();
    // The one given up is what "changed" sends next.
    const ToolRun next = send({"--changed", "--dry-run"});
    EXPECT_NE(next.out.find("1 message, 968 bytes, to 1 location.\nWiFi: 1 location."),
              std::string::npos)
        << next.out;
}

TEST_F(QuirnctlSendPlan, DryRunPrintsTheEstimateAndTouchesNothing) {
    device = startRadio("QN510", "1,1,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    const std::vector<std::string> files = listFolder(work.path());
    const ToolRun dry = send({"--all", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_NE(dry.out.find("2 messages, "), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("dry run: nothing was sent or written"), std::string::npos) << dry.out;
    EXPECT_EQ(listFolder(work.path()), files);
    EXPECT_TRUE(listFolder(work.logs()).empty());
    EXPECT_EQ(radioLog().find(" rx "), std::string::npos) << radioLog();
}

TEST_F(QuirnctlSendPlan, AFolderARunningStationHoldsIsRefused) {
    device = startRadio("QN510", "1,1,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    SingleInstance station(StationApp::kInstanceName, work.path());
    ASSERT_TRUE(station.acquire());
    const ToolRun held = send({"--all"});
    EXPECT_EQ(held.exitCode, 2) << held.out << held.err;
    EXPECT_NE(held.err.find("a running station holds " + work.path()), std::string::npos)
        << held.err;
    EXPECT_FALSE(fileExists(work.file(SendLedger::kFileName)));
    EXPECT_EQ(radioLog().find(" rx "), std::string::npos) << radioLog();
}

TEST_F(QuirnctlSendPlan, APortAnotherProgramHoldsIsRefused) {
    device = startRadio("QN510", "1,1,1");
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));
    // The station's own serial device holds the port, as a running station would.
    std::unique_ptr<SerialDevice> holder = createSerialDevice();
    ASSERT_TRUE(holder->open(device, kRadioBaud)) << holder->errorText();
    const ToolRun held = send({"--all"});
    EXPECT_EQ(held.exitCode, 2) << held.out << held.err;
    EXPECT_NE(held.err.find("cannot open " + device), std::string::npos) << held.err;
    EXPECT_FALSE(fileExists(work.file(SendLedger::kFileName)));
    holder->close();
}

TEST_F(QuirnctlSendPlan, BadCommandLinesAreRefusedWithALine) {
    struct Row {
        std::vector<std::string> args;
        const char* says;
    };
    const std::vector<Row> rows = {
        {{"send-plan", "--folder", work.path(), "--port", "x"}, "needs one of --all"},
        {{"send-plan", "--folder", work.path(), "--port", "x", "--all", "--changed"},
         "needs one of --all"},
        {{"send-plan", "--folder", work.path(), "--port", "x", "--group", "1:100"},
         "'1:100' is not MG:G"},
        {{"send-plan", "--folder", work.path(), "--port", "x", "--location", "1:2"},
         "'1:2' is not MG:G:L"},
        {{"send-plan", "--folder", work.path(), "--port", "x", "--master-group", "11"},
         "--master-group"},
        {{"send-plan", "--folder", work.path(), "--all"}, "needs --port"},
        {{"send-plan", "--folder", scratch.file("nowhere"), "--port", "x", "--all"},
         "no such folder"},
        {{"send-plan", "--folder", work.path(), "--port", scratch.file("no-such-port"), "--all"},
         "cannot open"},
    };
    for (const Row& row : rows) {
        const ToolRun run = test::runQuirnctl(row.args, scratch.path());
        EXPECT_EQ(run.exitCode, 2) << row.says;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << row.says << ": " << run.err;
    }
    EXPECT_FALSE(fileExists(work.file(SendLedger::kFileName)));
}

}  // namespace
}  // namespace quirn
