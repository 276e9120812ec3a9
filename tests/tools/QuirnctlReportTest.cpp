// `quirnctl report fleet` and `report location` end to end: the built program on a working
// folder with a real read history file (SQLite), its summary, its CSV and HTML files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "fleethealth/ReadHistoryStore.h"
#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/fleethealth/FleetHistoryFile.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::ToolRun;

constexpr const char* kNow = "2026-03-16 09:15:00";

std::size_t lines(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

class QuirnctlReport : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
        test::generateFleet(db, test::FleetShape{}, now);
        facts = test::makeFleetFacts(db, now);
        ASSERT_TRUE(saveDatabase(db, root.workingFolder(), now));
        std::string error;
        ASSERT_TRUE(test::writeFleetHistory(root.file(kHistoryFileName), db, facts, now, &error))
            << error;
    }
    ToolRun run(std::vector<std::string> args) {
        std::vector<std::string> all = {"--root", root.path(), "--now", kNow};
        all.insert(all.end(), args.begin(), args.end());
        return test::runQuirnctl(all, scratch.path());
    }

    test::TempFolder root;
    test::TempFolder scratch;
    PlanDatabase db;
    test::FleetFacts facts;
};

TEST_F(QuirnctlReport, FleetPrintsTheSummaryAndTheWorst) {
    const ToolRun r = run({"report", "fleet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Locations: " + std::to_string(db.locationCount()) + "\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Wrong clock: 1\nProgram differs: 1\nNot reachable: 1\nDrifting: 1\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("The worst 4:\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(facts.wrongClock->name + ": clock +300 s"), std::string::npos) << r.out;
}

TEST_F(QuirnctlReport, FleetWritesEveryRowAsCsv) {
    const std::string csv = scratch.file("fleet.csv");
    const ToolRun r = run({"report", "fleet", "--csv", csv});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = test::readFile(csv);
    EXPECT_EQ(lines(text), db.locationCount() + 1) << text;
    EXPECT_NE(text.find(",+300 s,"), std::string::npos);
    EXPECT_NE(text.find(",+9.00 s/day,"), std::string::npos);
}

TEST_F(QuirnctlReport, FleetWritesASelfContainedHtmlPageWithTheCharts) {
    const std::string html = scratch.file("fleet.html");
    const ToolRun r = run({"report", "fleet", "--since", "2026-03-01", "--html", html});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = test::readFile(html);
    EXPECT_EQ(text.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(text.find("charts from 2026-03-01 00:00"), std::string::npos);
    std::size_t charts = 0;
    for (std::size_t at = text.find("<svg "); at != std::string::npos;
         at = text.find("<svg ", at + 1))
        ++charts;
    EXPECT_EQ(charts, 4u);
}

TEST_F(QuirnctlReport, LocationListsItsReads) {
    const Location& l = *facts.drifting;
    const ToolRun r = run({"report", "location", std::to_string(l.masterGroup),
                           std::to_string(l.group), std::to_string(l.number)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Drift: +9.00 s/day over 10 reads"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("10 reads\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("+81 s"), std::string::npos) << r.out;
}

TEST_F(QuirnctlReport, RefusesBadArgumentsWithOneLine) {
    const ToolRun both = run({"report", "fleet", "--csv", "a", "--html", "b"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_EQ(both.err, "quirnctl: report fleet takes --csv or --html, not both\n");
    const ToolRun since = run({"report", "fleet", "--since", "2026-02-30"});
    EXPECT_EQ(since.exitCode, 2);
    EXPECT_EQ(since.err, "quirnctl: bad --since '2026-02-30' (YYYY-MM-DD)\n");
    const ToolRun none = run({"report", "location", "1", "99", "1"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("no group 99"), std::string::npos) << none.err;
}

TEST_F(QuirnctlReport, WithoutAHistoryTheSnapshotsReadsAndANote) {
    ASSERT_TRUE(removeFile(root.file(kHistoryFileName)));
    const ToolRun r = run({"report", "fleet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("no read history"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Wrong clock: 0\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quirn
