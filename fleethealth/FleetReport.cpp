#include "fleethealth/FleetReport.h"

#include <algorithm>

#include "fleethealth/FleetFilter.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/OffsetChartSvg.h"

namespace quirn {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr int kChartWidth = 640;
constexpr int kChartHeight = 190;

// The cells of a row in the order of the columns, then whether it drifts.
std::vector<std::string> cells(const FleetRow& r) {
    return {std::to_string(r.masterGroup),
            std::to_string(r.group),
            std::to_string(r.location),
            r.name,
            fleetModelText(r),
            fleetLinkText(r),
            fleetLastReadText(r),
            fleetStateText(r),
            fleetOffsetText(r),
            fleetDriftText(r),
            fleetProgramText(r),
            std::to_string(r.openErrors),
            r.drifting ? "Yes" : "No"};
}

std::vector<std::string> titles() {
    std::vector<std::string> t;
    for (int c = 0; c < kFleetColumnCount; ++c)
        t.emplace_back(fleetColumnTitle(static_cast<FleetColumn>(c)));
    t.emplace_back("Drifting");
    return t;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void appendCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += csvField(fields[i]);
    }
    out += kCrLf;
}

std::string html(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

const char* rowClass(const FleetRow& r) {
    const int severity = fleetSeverity(r);
    if (severity >= kFailingSeverity) return " class=\"failing\"";
    if (severity > 0) return " class=\"warning\"";
    return "";
}

struct SummaryLine {
    const char* label;
    std::size_t FleetSummary::*count;
};
constexpr SummaryLine kSummaryLines[] = {
    {"Locations", &FleetSummary::locations},
    {"Validated", &FleetSummary::validated},
    {"Wrong clock", &FleetSummary::wrongClock},
    {"Program differs", &FleetSummary::programDiffers},
    {"Not reachable", &FleetSummary::notReachable},
    {"Drifting", &FleetSummary::drifting},
    {"Not read for 7 days", &FleetSummary::notReadForWeek},
    {"Validate disabled", &FleetSummary::validateDisabled},
};

// Fits A4 and Letter alike: the narrower page's width with the taller page's margins.
constexpr const char* kStyle = R"(<style>
@page { margin: 12mm; }
body { font-family: sans-serif; font-size: 10pt; margin: 0 auto; max-width: 186mm; }
h1 { font-size: 16pt; margin: 0 0 4pt; }
h2 { font-size: 12pt; margin: 12pt 0 4pt; }
table.summary td { padding: 1pt 8pt 1pt 0; }
table.summary td.n { text-align: right; font-weight: bold; }
table.rows { border-collapse: collapse; width: 100%; font-size: 7pt; table-layout: fixed; }
table.rows th, table.rows td { border: 0.5pt solid #bbb; padding: 1pt 2pt; overflow: hidden;
  text-overflow: ellipsis; white-space: nowrap; }
table.rows th { background: #eee; }
table.rows thead { display: table-header-group; }
tr { page-break-inside: avoid; }
tr.failing td { background: #ffded6; }
tr.warning td { background: #fff3cd; }
.chartbox { page-break-inside: avoid; margin-bottom: 8pt; }
.chartbox p { margin: 2pt 0; font-weight: bold; }
svg.chart { width: 100%; height: auto; }
</style>)";

}  // namespace

FleetReport makeFleetReport(std::vector<FleetRow> rows, std::time_t now, std::time_t since) {
    FleetReport report;
    report.now = now;
    report.since = since;
    report.summary = summarizeFleet(rows, now);
    // Every location with something wrong, worst first as the mail ranks them, then the
    // healthy ones in database order.
    const std::vector<std::size_t> worst = worstRows(rows, rows.size());
    std::vector<bool> taken(rows.size(), false);
    report.rows.reserve(rows.size());
    for (std::size_t i : worst) {
        report.rows.push_back(rows[i]);
        taken[i] = true;
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!taken[i]) report.rows.push_back(std::move(rows[i]));
    return report;
}

std::string fleetSummaryText(const FleetSummary& summary) {
    std::string out;
    for (const SummaryLine& l : kSummaryLines)
        out += std::string(l.label) + ": " + std::to_string(summary.*l.count) + "\n";
    return out;
}

std::string fleetCsv(const std::vector<FleetRow>& rows) {
    std::string out;
    appendCsvLine(out, titles());
    for (const FleetRow& r : rows) appendCsvLine(out, cells(r));
    return out;
}

std::string fleetHtml(const FleetReport& report) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">";
    const std::string title =
        "Fleet report" + (report.agency.empty() ? std::string() : " \u2014 " + report.agency);
    out += "<title>" + html(title) + "</title>" + kStyle + "</head><body>\n";
    out += "<h1>" + html(title) + "</h1>\n<p>As of " + fleetTimeText(report.now) +
           "; charts from " + fleetTimeText(report.since) + ".</p>\n";
    out += "<h2>Summary</h2>\n<table class=\"summary\">";
    for (const SummaryLine& l : kSummaryLines)
        out += "<tr><td>" + std::string(l.label) + "</td><td class=\"n\">" +
               std::to_string(report.summary.*l.count) + "</td></tr>";
    out += "</table>\n";
    if (!report.charts.empty()) {
        out += "<h2>Clocks of the worst locations</h2>\n";
        for (const ChartedLocation& c : report.charts) {
            const FleetRow& r = c.row;
            out += "<div class=\"chartbox\"><p>" + html(r.name) + " (" +
                   std::to_string(r.masterGroup) + "/" + std::to_string(r.group) + "/" +
                   std::to_string(r.location) + "): offset " + html(fleetOffsetText(r)) +
                   (r.driftSecondsPerDay ? ", drift " + html(fleetDriftText(r)) : "") +
                   (r.program == ProgramMatch::Differs ? ", program differs" : "") + "</p>" +
                   offsetChartSvg(c.history, kChartWidth, kChartHeight) + "</div>\n";
        }
    }
    out += "<h2>Every location, worst first</h2>\n<table class=\"rows\"><thead><tr>";
    for (const std::string& t : titles()) out += "<th>" + html(t) + "</th>";
    out += "</tr></thead><tbody>\n";
    for (const FleetRow& r : report.rows) {
        out += "<tr";
        out += rowClass(r);
        out += ">";
        for (const std::string& cell : cells(r)) out += "<td>" + html(cell) + "</td>";
        out += "</tr>\n";
    }
    out += "</tbody></table>\n</body></html>\n";
    return out;
}

}  // namespace quirn
