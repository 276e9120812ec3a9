#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "QuirnctlRunner.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/SerialDeviceList.h"
#include "protocol/Checksums.h"
#include "protocol/MessageFrame.h"
#include "protocol/PlanDownload.h"
#include "protocol/SentenceCommands.h"
#include "protocol/StoreSources.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;
using test::hexOf;
using test::ToolRun;

constexpr const char* kNowText = "2026-03-18 10:15:30";
std::time_t fixedNow() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

// Every file of a folder with its bytes and modification time.
std::map<std::string, std::pair<std::string, fs::file_time_type>> folderState(
    const std::string& dir) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> state;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            state[entry.path().string()] = {test::readFile(entry.path().string()),
                                            entry.last_write_time()};
    return state;
}

// The station's view of a working folder: loaded the way the station loads it, with the
// download over it, so its bytes are what the station sends.
struct StationView {
    StationView(std::time_t now, WorkingFolder folder) : clock(now), working(std::move(folder)) {}
    void load(bool hasMasterGroups) {
        loadDatabase(db, working, clock.now());
        overrides.load(OverrideLoadMode::ReadOnly);
        summer.load();
        settings.hasMasterGroups = hasMasterGroups ? 1 : 0;
        download =
            std::make_unique<PlanDownload>(db, clock, settings, &overrideSource, &summerSource);
    }
    ManualClock clock;
    const WorkingFolder working;
    Settings settings;
    PlanDatabase db;
    OverrideStore overrides{clock, working};
    SummerPlanStore summer{clock, working};
    OverrideStoreSource overrideSource{overrides, clock};
    SummerStoreSource summerSource{summer};
    std::unique_ptr<PlanDownload> download;
};

class Quirnctl : public ::testing::Test {
  protected:
    void SetUp() override { makeFolder(false); }

    // A generated fleet saved as a station would have left it.
    void makeFolder(bool masterGroups) {
        const WorkingFolder working = root.workingFolder();
        PlanDatabase db;
        test::FleetShape shape{2, 3, 4, 9, 16, 12, 2, true, 5};
        test::generateFleet(db, shape, fixedNow());
        db.findGroup(1, 1)->findLocation(2)->model = static_cast<int>(TimeSwitchModel::QN510);
        db.findGroup(2, 3)->findLocation(4)->model = static_cast<int>(TimeSwitchModel::MX40);
        ASSERT_TRUE(saveDatabase(db, working, fixedNow()));
        ASSERT_TRUE(saveSnapshot(db, working));
        Settings settings;
        settings.hasMasterGroups = masterGroups ? 1 : 0;
        ASSERT_TRUE(settings.save(settingsFileName(working)));
        hasMasterGroups = masterGroups;
    }
    std::unique_ptr<StationView> station() {
        auto view = std::make_unique<StationView>(fixedNow(), root.workingFolder());
        view->load(hasMasterGroups);
        return view;
    }
    ToolRun run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path(), "--now", kNowText});
        return test::runQuirnctl(args, scratch.path());
    }

    test::TempFolder root;
    test::TempFolder scratch;
    bool hasMasterGroups = false;
};

TEST_F(Quirnctl, ProgramOfEveryLocationIsWhatTheStationSends) {
    auto view = station();
    int models[4] = {};
    for (Location* l : view->db.allLocations()) {
        std::vector<char> buffer(kMessageBufferSize);
        size_t n = view->download->locationProgram(*l, buffer.data(), buffer.size());
        ASSERT_GT(n, 0u);
        ToolRun r = run({"--hex", "program", std::to_string(l->masterGroup),
                         std::to_string(l->group), std::to_string(l->number)});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, hexOf(std::string(buffer.data(), n)) + "\n") << l->listText();
        ++models[l->model];
    }
    for (int m = 0; m < 4; ++m) EXPECT_GT(models[m], 0) << "model " << m << " not covered";
    // Without --hex the bytes come raw.
    Location* first = view->db.allLocations().front();
    ToolRun raw = run({"program", std::to_string(first->masterGroup), std::to_string(first->group),
                       std::to_string(first->number)});
    std::vector<char> buffer(kMessageBufferSize);
    size_t n = view->download->locationProgram(*first, buffer.data(), buffer.size());
    EXPECT_EQ(raw.out, std::string(buffer.data(), n));
}

TEST_F(Quirnctl, ImageAndGroupProgram) {
    auto view = station();
    Location& l = *view->db.findLocation(2, 3, 4);
    ProgramImage image = view->download->imageFor(l);
    ToolRun r = run({"--hex", "image", "2", "3", "4"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.size(), 968u * 2 + 1);
    EXPECT_EQ(r.out, hexOf(std::string(image.bytes().begin(), image.bytes().end())) + "\n");

    std::vector<char> buffer(kMessageBufferSize);
    size_t n = view->download->groupProgram(1, 1, buffer.data(), buffer.size());
    ASSERT_GT(n, 0u);
    ToolRun g = run({"--hex", "group-program", "1", "1"});
    EXPECT_EQ(g.out, hexOf(std::string(buffer.data(), n)) + "\n");
}

TEST_F(Quirnctl, SingleMessages) {
    auto view = station();
    struct Row {
        std::vector<std::string> args;
        std::string bytes;
    };
    const std::vector<Row> rows = {
        {{"message", "baud", "2400"}, "$B000000A*03"},
        {{"message", "baud", "4800"}, "$B000000B*00"},
        {{"message", "page-all"}, "@P#"},
        {{"message", "read", "1", "1", "2"}, "X@R0102o"},
        {{"message", "manual", "1", "1", "2", "on"}, "@M01021#=9?<"},
        {{"message", "log-clear", "1", "1", "2"}, "@C0102#;3:;"},
        {{"message", "log-request", "1", "1", "2", "7"}, "@B01027#6>59"},
        {{"message", "mx40-read", "2", "3", "4"}, std::string("C78\x02\x03\x04", 6)},
        {{"message", "lr40-read", "2", "3", "4"}, std::string("C79\x02\x03\x04", 6)},
        {{"message", "bcd-relay", "1", "2", "3", "1"}, std::string("$M\x01\x02\x03\x03", 6)},
    };
    for (const Row& row : rows) {
        ToolRun r = run(row.args);
        ASSERT_EQ(r.exitCode, 0) << row.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, row.bytes) << row.args[1];
    }
    // The time messages follow --now: 15 March 2026 07:30:00 gives the worked example.
    ToolRun z = test::runQuirnctl(
        {"--root", root.path(), "--now", "2026-03-15 07:30:00", "message", "timedate"},
        scratch.path());
    EXPECT_EQ(z.out, "@Z0000eG3F7U0F32B1#35>>");
    ToolRun t = test::runQuirnctl(
        {"--root", root.path(), "--now", "2026-03-16 07:30:00", "message", "time", "1", "1"},
        scratch.path());
    EXPECT_EQ(t.out, "@T01002HU#1=11");
    // Messages built from records equal the station's.
    Group& g = *view->db.findGroup(1, 2);
    EXPECT_EQ(run({"message", "default-week", "1", "2", "1"}).out,
              view->download->defaultWeekText(g, 1, fixedNow()));
    EXPECT_EQ(run({"message", "special-week", "1", "2", "1"}).out,
              view->download->currentWeekCommand(g, 1).text());
    EXPECT_EQ(run({"message", "override", "1", "2"}).out, view->download->overrideText(g));
    EXPECT_EQ(run({"message", "query", "2", "3", "4"}).out,
              QuerySentenceCommand(
                  2, 3, 4, view->download->imageFor(*view->db.findLocation(2, 3, 4)).bytes())
                  .bytes());
}

TEST_F(Quirnctl, MasterGroupPrefixFollowsTheSetting) {
    makeFolder(true);
    EXPECT_EQ(run({"message", "manual", "2", "1", "1", "off"}).out.substr(0, 8), "@1M01010");
    makeFolder(false);
    EXPECT_EQ(run({"message", "manual", "2", "1", "1", "off"}).out.substr(0, 7), "@M01010");
}

TEST_F(Quirnctl, OverrideOfAnotherDayIsIgnoredNotDeleted) {
    const std::string path = root.file("override.csv");
    ASSERT_TRUE(test::writeFile(path, "Step,1,2,0,420,1\r\nEnabled,1,2,0\r\n"));
    // The file was written today (real time): with --now on today's date it is in force.
    std::string today = formatLocal("%Y-%m-%d 09:00:00", SystemClock().now());
    ToolRun r = test::runQuirnctl(
        {"--root", root.path(), "--now", today, "message", "override", "1", "2"}, scratch.path());
    EXPECT_EQ(r.out, pagedMessage("@", 'O', 2, 0, "BH0"));
    // On another day it is ignored, and still there afterwards.
    ToolRun other = run({"message", "override", "1", "2"});
    EXPECT_EQ(other.out, pagedMessage("@", 'O', 2, 0, "d"));
    EXPECT_TRUE(fileExists(path));
}

TEST_F(Quirnctl, DecodeAndReadback) {
    ToolRun d = run({"decode", "noise @1D0102AH0AiU#0532 more"});
    ASSERT_EQ(d.exitCode, 0) << d.err;
    EXPECT_EQ(d.out,
              "[{\"text\":\"@1D0102AH0AiU#0532\",\"kind\":4,\"prefix\":\"1\",\"masterGroup\":2,"
              "\"group\":1,\"location\":2,\"on\":[{\"minute\":420,\"mask\":62}],"
              "\"off\":[{\"minute\":510,\"mask\":62}]}]\n");

    auto view = station();
    Location& lr = *view->db.findLocation(2, 3, 4);
    lr.model = static_cast<int>(TimeSwitchModel::LR40);
    std::string sentence =
        ProgramSentenceCommand(2, 3, 4, view->download->imageFor(lr).bytes()).bytes();
    ASSERT_TRUE(test::writeFile(scratch.file("lr40.bin"), sentence));
    ToolRun r = run({"readback", "LR40", scratch.file("lr40.bin")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"valid\":true"), std::string::npos);
    EXPECT_NE(r.out.find("\"clock\":\"2026-03-18 10:15:34\""), std::string::npos);
    EXPECT_NE(r.out.find("\"address\":[2,3,4]"), std::string::npos);
    EXPECT_NE(r.out.find("Time Switch: Wednesday, March 18, 2026, 10:15.34:"), std::string::npos);

    // A compact QN510 reply without entries: 16 bytes.
    const std::string compact(
        "S\x04\x0a\x0f\x00\x80"
        "C\x00\x00\x00\x00\x00",
        12);
    ASSERT_TRUE(
        test::writeFile(scratch.file("qn.bin"), compact + checksumText(replyChecksum(compact))));
    ToolRun qn = run({"readback", "qn510", scratch.file("qn.bin")});
    ASSERT_EQ(qn.exitCode, 0) << qn.err;
    EXPECT_EQ(qn.out.rfind("{\"model\":\"QN510\",\"count\":16,\"valid\":true,"
                           "\"clock\":\"2026-03-18 10:15:30\"",
                           0),
              0u)
        << qn.out;
    EXPECT_NE(qn.out.find("\"version\":\"5.10\""), std::string::npos);
    EXPECT_NE(qn.out.find("\"relay\":\"Relay status is ON.\""), std::string::npos);
    EXPECT_NE(qn.out.find("\"QN510 Time 10:15 Wednesday.\""), std::string::npos);
    ASSERT_TRUE(test::writeFile(scratch.file("bad.bin"), compact + "0000"));
    ToolRun bad = run({"readback", "qn510", scratch.file("bad.bin")});
    EXPECT_EQ(bad.exitCode, 0);
    EXPECT_NE(bad.out.find("\"valid\":false"), std::string::npos);
}

TEST_F(Quirnctl, ValidateAReply) {
    auto view = station();
    Location& mx = *view->db.findLocation(2, 3, 4);
    ProgramImage image = view->download->imageFor(mx);
    std::string bytes(image.bytes().begin(), image.bytes().end());
    ASSERT_TRUE(test::writeFile(scratch.file("good.bin"), bytes));
    ToolRun good = run({"validate", "2", "3", "4", scratch.file("good.bin"), "--read-time",
                        "2026-03-18 10:16:00"});
    EXPECT_EQ(good.out, "0\n") << good.err;
    EXPECT_EQ(good.exitCode, 0);
    // Read three minutes later: the clock is wrong.
    ToolRun late = run({"validate", "2", "3", "4", scratch.file("good.bin"), "--read-time",
                        "2026-03-18 10:18:40"});
    EXPECT_EQ(late.out, "2\n");
    EXPECT_EQ(late.exitCode, 1);
    // The same bytes to a QN510: partial data, nothing decoded.
    ToolRun paged = run({"validate", "1", "1", "2", scratch.file("good.bin"), "--read-time",
                         "2026-03-18 10:16:00"});
    EXPECT_EQ(paged.out, "3\n");
    EXPECT_EQ(paged.exitCode, 1);
    ToolRun missing = run({"validate", "2", "3", "4", scratch.file("good.bin")});
    EXPECT_EQ(missing.exitCode, 2);
}

TEST_F(Quirnctl, ErrorsAreOneLineAndExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"program", "1", "9", "1"},
        {"program", "1", "1", "77"},
        {"program", "x", "1", "1"},
        {"program", "11", "1", "1"},
        {"program", "1", "1"},
        {"frobnicate"},
        {"message", "baud", "9600"},
        {"message", "nothing"},
        {"message", "manual", "1", "1", "2", "maybe"},
        {"readback", "qn510", "/no/such/file"},
        {"readback", "vax", "/no/such/file"},
        {"db", "resave"},
        {"ports", "COM5"},
        {"--now", "2026-02-30 10:00:00", "message", "page-all"},
    };
    for (const auto& args : bad) {
        ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        ASSERT_FALSE(r.err.empty()) << args[0];
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(r.err.rfind("quirnctl: ", 0), 0u) << r.err;
    }
    // A folder without the database files is refused, and nothing is created in it.
    test::TempFolder empty;
    ToolRun r =
        test::runQuirnctl({"--root", empty.path(), "program", "1", "1", "1"}, scratch.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(fs::is_empty(empty.path()));
}

TEST_F(Quirnctl, NeverWritesTheWorkingFolderAndResavesElsewhere) {
    ASSERT_TRUE(test::writeFile(root.file("override.csv"), "Step,1,2,0,420,1\r\n"));
    ASSERT_TRUE(test::writeFile(root.file("summer.csv"),
                                "SummerPlan,Camp, North\r\nStartDate,2026,3,1\r\n"
                                "EndDate,2026,4,30\r\nLocation,1,2,1\r\nStep,9,0,12,0\r\n"));
    auto before = folderState(root.path());
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"program", "1", "2", "1"},
             {"image", "2", "3", "4"},
             {"message", "summer-week", "1", "2", "1"},
             {"validate", "1", "2", "1", root.file("steps.csv"), "--read-time", kNowText}}) {
        ToolRun r = run(args);
        EXPECT_NE(r.exitCode, 2) << args[0] << r.err;
    }
    EXPECT_EQ(run({"message", "summer-week", "1", "2", "1"}).out,
              pagedMessage("@", 'W', 2, 1, "AJ0Am0"));

    test::TempFolder out;
    ToolRun resave = run({"db", "resave", "--out", out.path()});
    ASSERT_EQ(resave.exitCode, 0) << resave.err;
    EXPECT_EQ(folderState(root.path()), before);

    auto view = station();
    for (const char* name : {"dayplan.csv", "steps.csv", "groups.csv", "locations.csv"})
        EXPECT_EQ(test::readFile(out.file(name)), test::readFile(root.file(name))) << name;
    EXPECT_EQ(test::readFile(out.file("Quirn Locations.bin")), snapshotBytes(view->db));
    EXPECT_NE(test::readFile(out.file("summer.csv")).find("SummerPlan,Camp, North"),
              std::string::npos);
    EXPECT_FALSE(fileExists(out.file("override.csv")));
    // Never over the working folder itself, however its name is spelt.
    test::TempFolder links;
    std::vector<std::string> spellings = {root.path(), root.path() + ".", root.path() + "./"};
    // Windows gives folder links only to administrators; elsewhere a link is one more spelling.
    std::error_code noLinks;
    fs::create_directory_symlink(root.path(), links.file("live"), noLinks);
    if (!noLinks) spellings.push_back(links.file("live"));
#ifndef _WIN32
    EXPECT_FALSE(noLinks) << noLinks.message();
#endif
    for (const std::string& spelling : spellings) {
        ToolRun again = run({"db", "resave", "--out", spelling});
        EXPECT_EQ(again.exitCode, 2) << spelling;
        EXPECT_EQ(again.err.find('\n'), again.err.size() - 1) << again.err;
    }
    EXPECT_EQ(folderState(root.path()), before);
}

// What `ports` names is what the utilities dialog offers, each a device `--port` opens.
TEST_F(Quirnctl, PortsNamesThePresentSerialDevices) {
    ToolRun r = run({"ports"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string expected;
    for (const std::string& device : presentSerialDevices()) expected += device + "\n";
    EXPECT_EQ(r.out, expected);
}

TEST_F(Quirnctl, HelpListsEveryCommand) {
    ToolRun r = test::runQuirnctl({"--help"}, scratch.path());
    EXPECT_EQ(r.exitCode, 0);
    for (const char* word :
         {"program",     "group-program", "image",        "message manual", "time-all", "timedate",
          "log-request", "default-week",  "special-week", "summer-week",    "bcd-time", "bcd-relay",
          "mx40-read",   "lr40-read",     "query",        "baud",           "page-all", "decode",
          "readback",    "validate",      "--read-time",  "db resave",      "--root",   "--now",
          "--hex",       "ports"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace quirn
