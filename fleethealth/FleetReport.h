#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "fleethealth/FleetSummary.h"
#include "fleethealth/OffsetHistory.h"

namespace quirn {

// A location shown with its chart in the report.
struct ChartedLocation {
    FleetRow row;
    LocationOffsetHistory history;
};

// What a manager's report of the fleet holds.
struct FleetReport {
    std::string agency;  // may be empty
    std::time_t now = 0;
    std::time_t since = 0;       // the charts cover the reads from here on
    std::vector<FleetRow> rows;  // worst first
    FleetSummary summary;
    std::vector<ChartedLocation> charts;  // the worst locations, worst first
};

// How many of the worst locations the report charts.
inline constexpr std::size_t kReportChartCount = 10;

// Puts the rows worst first (ties in database order) and fills the summary; the charts are
// left to the caller, who asks the history for the first rows'.
FleetReport makeFleetReport(std::vector<FleetRow> rows, std::time_t now, std::time_t since);

// The summary as lines of text: "Locations: 98010", "Validated: ...", ...
std::string fleetSummaryText(const FleetSummary& summary);

// One line per row with a title line; fields quoted where they hold a comma or a quote; lines
// end in CR LF.
std::string fleetCsv(const std::vector<FleetRow>& rows);

// A self-contained HTML page (inline style and SVG charts, nothing fetched) that prints on A4
// and Letter: the summary, the charts of the worst locations, then every row.
std::string fleetHtml(const FleetReport& report);

}  // namespace quirn
