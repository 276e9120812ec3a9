// The manager's report from a real history file (SQLite, in a temporary folder): the summary,
// the CSV of every row and the self-contained HTML page with its charts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fleethealth/FleetReport.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/LocationHistoryReport.h"
#include "fleethealth/OffsetHistory.h"
#include "fleethealth/ReadHistoryStore.h"
#include "platform/LocalTime.h"
#include "tests/fleethealth/FleetHistoryFile.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class FleetReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        generateFleet(db, FleetShape{}, now);
        facts = makeFleetFacts(db, now);
        std::string error;
        ASSERT_TRUE(writeFleetHistory(path, db, facts, now, &error)) << error;
        ASSERT_TRUE(store.openForReading(path)) << store.lastError();
        FleetRows rows;
        rows.build(db, store.latestOfEveryLocation(), nullptr, now);
        report = makeFleetReport(rows.all(), now, now - 30 * kDaySeconds);
        for (std::size_t i : worstRows(report.rows, kReportChartCount)) {
            const FleetRow& r = report.rows[i];
            report.charts.push_back({r, offsetHistoryOf(store.locationHistory(
                                            {r.masterGroup, r.group, r.location}, 0))});
        }
    }

    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    TempFolder folder;
    const std::string path = folder.file(kHistoryFileName);
    PlanDatabase db;
    FleetFacts facts;
    ReadHistoryStore store;
    FleetReport report;
};

TEST_F(FleetReportTest, TheSummaryCountsWhatTheHistoryHolds) {
    const FleetSummary& s = report.summary;
    EXPECT_EQ(s.locations, db.locationCount());
    EXPECT_EQ(s.wrongClock, 1u);
    EXPECT_EQ(s.programDiffers, 1u);
    EXPECT_EQ(s.notReachable, 1u);
    EXPECT_EQ(s.drifting, 1u);
    EXPECT_EQ(s.notReadForWeek, 1u);
    // Every location read but those four and the one never read validated its last read.
    EXPECT_EQ(s.validated, db.locationCount() - 4);
    EXPECT_NE(fleetSummaryText(s).find("Wrong clock: 1\nProgram differs: 1\nNot reachable: 1\n"
                                       "Drifting: 1\n"),
              std::string::npos);
}

TEST_F(FleetReportTest, TheCsvHasATitleAndOneQuotedLinePerLocationWorstFirst) {
    const std::string csv = fleetCsv(report.rows);
    EXPECT_EQ(count(csv, "\r\n"), db.locationCount() + 1);
    EXPECT_EQ(csv.rfind("Master group,Group,Location,Name,Model,Link,Last read,State,Clock "
                        "offset,Drift,Program,Open errors,Drifting\r\n",
                        0),
              0u);
    // The worst first: the program that differs, then the wrong clock.
    const std::size_t differs = csv.find(facts.programDiffers->name + ",");
    const std::size_t wrong = csv.find(",+300 s,");
    ASSERT_NE(differs, std::string::npos);
    ASSERT_NE(wrong, std::string::npos);
    EXPECT_LT(differs, wrong);
    // The state text holds a comma: the field is quoted.
    const FleetRow& r = report.rows.front();
    EXPECT_NE(csv.find(",\"" + fleetStateText(r) + "\","), std::string::npos) << csv;
    EXPECT_NE(csv.find("+9.00 s/day"), std::string::npos);
}

TEST_F(FleetReportTest, TheHtmlIsOnePageWithTheSummaryTheChartsAndEveryRow) {
    const std::string html = fleetHtml(report);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    // Self-contained: nothing is fetched.
    for (const char* fetch : {"src=", "href=", "url(", "<link", "<script", "@import"})
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    EXPECT_NE(html.find("@page"), std::string::npos);
    EXPECT_NE(html.find("<td>Wrong clock</td><td class=\"n\">1</td>"), std::string::npos);
    // One chart per location with something wrong (four), each with a dot per read with a
    // clock: ten for three of them, nine for the one that stopped answering.
    EXPECT_EQ(count(html, "<svg "), 4u);
    EXPECT_EQ(count(html, "<circle class=\"read\""), 3u * kFleetHistoryDays + 9u);
    // The drifting clock's chart has its fit line in the fits' colour.
    EXPECT_NE(html.find("stroke=\"#dc3c1e\""), std::string::npos);
    const std::string body = html.substr(html.find("<tbody>"));
    EXPECT_EQ(count(body, "<tr"), db.locationCount());
    EXPECT_EQ(count(body, "<tr class=\"failing\">"), 2u);  // program and clock
    EXPECT_EQ(count(body, "<tr class=\"warning\">"), 2u);  // not reached, drifting
}

TEST_F(FleetReportTest, TheHtmlEscapesNames) {
    report.rows.front().name = "Oak & <Main>";
    const std::string html = fleetHtml(report);
    EXPECT_NE(html.find("Oak &amp; &lt;Main&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<Main>"), std::string::npos);
}

TEST_F(FleetReportTest, ALocationsHistoryListsEveryReadWithItsDrift) {
    const Location& l = *facts.drifting;
    const std::vector<ReadRecord> reads = store.locationHistory({l.masterGroup, l.group, l.number});
    ASSERT_EQ(reads.size(), static_cast<std::size_t>(kFleetHistoryDays));
    FleetRows rows;
    rows.build(db, store.latestOfEveryLocation(), nullptr, now);
    const FleetRow& row = rows.all()[5];
    ASSERT_EQ(row.name, l.name);
    const std::string text =
        locationHistoryText(row, reads, currentDrift(offsetSamples(reads)), now);
    // Ten days back from 08:15 on 16 March, across the start of daylight saving on the 8th.
    EXPECT_NE(text.find("Drift: +9.00 s/day over 10 reads since 2026-03-07 07:15 (drifting)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Reaches validation's clock limit about 2026-03-20"), std::string::npos)
        << text;
    EXPECT_NE(text.find("2026-03-16 08:15  WiFi    Validate Passed          +81 s"),
              std::string::npos)
        << text;
    const std::string csv = locationHistoryCsv(reads);
    EXPECT_EQ(count(csv, "\r\n"), reads.size() + 1);
    EXPECT_NE(csv.find("2026-03-16 08:15,WiFi,Validate Passed,81,Matched,2,0\r\n"),
              std::string::npos)
        << csv;
}

}  // namespace
}  // namespace quirn::test
