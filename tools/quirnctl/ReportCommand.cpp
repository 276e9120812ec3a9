#include "tools/quirnctl/ReportCommand.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fleethealth/FleetMailText.h"
#include "fleethealth/FleetReport.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/LocationHistoryReport.h"
#include "fleethealth/OffsetHistory.h"
#include "fleethealth/ReadHistoryStore.h"
#include "ops/ErrorList.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tools/quirnctl/CalendarCommandArgs.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/PortCommand.h"
#include "tools/quirnctl/Workspace.h"

namespace quirn::ctl {

namespace {

constexpr const char* kUsage =
    "usage: quirnctl report fleet [--since YYYY-MM-DD] [--csv FILE | --html FILE]\n"
    "         [--root DIR] [--now 'YYYY-MM-DD HH:MM:SS']\n"
    "       quirnctl report location MG G L [--since YYYY-MM-DD] [--csv FILE]\n"
    "         [--root DIR] [--now 'YYYY-MM-DD HH:MM:SS']\n"
    "The fleet: the summary and the worst ten on stdout; --csv every row, --html a page that\n"
    "prints on A4 or Letter with the charts of the worst ten. A location: its reads.\n";
constexpr const char* kReportWord = "report";
constexpr int kDefaultChartDays = 90;
constexpr std::time_t kDaySeconds = 24 * 60 * 60;
constexpr std::size_t kPrintedWorst = 10;
constexpr int kMinYear = 1970;
constexpr int kMaxYear = 2037;
constexpr int kMaxMonth = 12;
constexpr int kMaxDay = 31;
// The settings' city name before the agency has named itself.
constexpr const char* kUnnamedCity = "Not Named";

struct ReportArgs {
    std::vector<std::string> words;  // after "report"
    std::string root;
    std::optional<std::string> now, since, csv, html;
    bool help = false;
};

struct ValueOption {
    const char* name;
    std::optional<std::string> ReportArgs::*field;
};
constexpr ValueOption kValueOptions[] = {{"--now", &ReportArgs::now},
                                         {"--since", &ReportArgs::since},
                                         {"--csv", &ReportArgs::csv},
                                         {"--html", &ReportArgs::html}};

std::optional<std::string> parseArgs(int argc, const char* const* argv, ReportArgs& out) {
    bool sawReport = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        if (arg == "--root" || arg == "--folder") {
            if (i + 1 >= argc) return std::string(arg) + " needs a folder";
            out.root = argv[++i];
            continue;
        }
        bool taken = false;
        for (const ValueOption& o : kValueOptions) {
            if (arg != o.name) continue;
            if (i + 1 >= argc) return std::string(o.name) + " needs a value";
            out.*o.field = argv[++i];
            taken = true;
        }
        if (taken) continue;
        if (arg.size() > 1 && arg[0] == '-') return "unknown option " + std::string(arg);
        if (!sawReport && arg == kReportWord) {
            sawReport = true;
            continue;
        }
        out.words.emplace_back(arg);
    }
    return std::nullopt;
}

// Local midnight of a "YYYY-MM-DD" day, or nothing for any other text or an impossible date.
std::optional<std::time_t> parseDay(const std::string& text) {
    int y = 0, m = 0, d = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3) return std::nullopt;
    if (y < kMinYear || y > kMaxYear || m < 1 || m > kMaxMonth || d < 1 || d > kMaxDay)
        return std::nullopt;
    const std::time_t t = fromLocal(y, m, d);
    const LocalDateTime back = toLocal(t);
    if (back.year != y || back.month != m || back.day != d) return std::nullopt;
    return t;
}

bool writeOut(const std::string& path, const std::string& text) {
    return replaceFileAtomically(path, text);
}

// The open error records of errors.csv, read without creating or changing the file.
std::vector<LocationKey> openErrors(const Clock& clock, const WorkingFolder& folder) {
    class NoMail final : public ValidateFailureListener {
      public:
        void notifyValidateFailure(const ErrorRecord&) override {}
    } noMail;
    ErrorList errors(clock, folder, noMail);
    if (const auto text = readWholeFile(folder.file(ErrorList::kFileName))) errors.loadText(*text);
    return openErrorKeys(errors);
}

class Report {
  public:
    explicit Report(Workspace& ws) : ws_(ws) {}

    std::optional<std::string> openHistory() {
        const std::string path = ws_.folder().file(kHistoryFileName);
        if (!fileExists(path)) {
            std::fprintf(stderr, "quirnctl: no read history (%s): the snapshot's reads only\n",
                         path.c_str());
            return std::nullopt;
        }
        if (!store_.openForReading(path))
            return "cannot read the read history " + path + ": " + store_.lastError();
        return std::nullopt;
    }

    std::vector<FleetRow> rows() {
        FleetRows rows;
        std::vector<LocationHealth> health;
        if (store_.isOpen()) health = store_.latestOfEveryLocation();
        rows.build(ws_.db(), health, nullptr, now());
        std::vector<FleetRow> all = rows.all();
        joinFleetHealth(all, {}, openErrors(ws_.clock(), ws_.folder()));
        return all;
    }

    std::vector<ReadRecord> history(const LocationKey& key, std::time_t since) const {
        return store_.isOpen() ? store_.locationHistory(key, since) : std::vector<ReadRecord>{};
    }

    std::time_t now() const { return ws_.clock().now(); }

  private:
    Workspace& ws_;
    ReadHistoryStore store_;
};

int fleetReport(const ReportArgs& args, Workspace& ws, std::time_t since) {
    if (args.csv && args.html) return fail("report fleet takes --csv or --html, not both");
    Report report(ws);
    if (auto e = report.openHistory()) return fail(*e);
    FleetReport fleet = makeFleetReport(report.rows(), report.now(), since);
    if (ws.settings().cityName != kUnnamedCity) fleet.agency = ws.settings().cityName;
    std::fputs(fleetSummaryText(fleet.summary).c_str(), stdout);
    const std::vector<std::size_t> worst = worstRows(fleet.rows, kPrintedWorst);
    if (!worst.empty()) {
        std::printf("\nThe worst %d:\n", static_cast<int>(worst.size()));
        for (std::size_t i : worst) {
            const FleetRow& r = fleet.rows[i];
            std::printf("%d/%d/%d %s: %s\n", r.masterGroup, r.group, r.location, r.name.c_str(),
                        fleetProblemsText(r, fleet.now).c_str());
        }
    }
    if (args.csv && !writeOut(*args.csv, fleetCsv(fleet.rows)))
        return fail("cannot write " + *args.csv);
    if (args.html) {
        for (std::size_t i : worstRows(fleet.rows, kReportChartCount)) {
            const FleetRow& r = fleet.rows[i];
            fleet.charts.push_back(
                {r, offsetHistoryOf(report.history({r.masterGroup, r.group, r.location}, since))});
        }
        if (!writeOut(*args.html, fleetHtml(fleet))) return fail("cannot write " + *args.html);
    }
    return kExitOk;
}

int locationReport(const ReportArgs& args, Workspace& ws, std::time_t since) {
    if (args.words.size() != 4) return fail(std::string(kUsage));
    if (args.html) return fail("report location takes --csv, not --html");
    Location* l = nullptr;
    if (auto e = ws.findLocation(args.words[1], args.words[2], args.words[3], l)) return fail(*e);
    Report report(ws);
    if (auto e = report.openHistory()) return fail(*e);
    const LocationKey key{l->masterGroup, l->group, l->number};
    FleetRow row;
    for (const FleetRow& r : report.rows())
        if (r.masterGroup == key.masterGroup && r.group == key.group && r.location == key.location)
            row = r;
    const std::vector<ReadRecord> reads = report.history(key, since);
    // The drift is that of the reads since the last set, whatever --since leaves out.
    const std::vector<ReadRecord> all = since == 0 ? reads : report.history(key, 0);
    const DriftFit fit = currentDrift(offsetSamples(all));
    std::fputs(locationHistoryText(row, reads, fit, report.now()).c_str(), stdout);
    if (args.csv && !writeOut(*args.csv, locationHistoryCsv(reads)))
        return fail("cannot write " + *args.csv);
    return kExitOk;
}

}  // namespace

bool isReportCommand(int argc, const char* const* argv) {
    return firstCommandWord(argc, argv) == kReportWord;
}

int runReportCommand(int argc, const char* const* argv) {
    ReportArgs args;
    if (auto e = parseArgs(argc, argv, args)) return fail(*e);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.words.empty() || (args.words[0] != "fleet" && args.words[0] != "location"))
        return fail(std::string(kUsage));
    std::time_t now = SystemClock().now();
    if (args.now) {
        const auto fixed = parseDateTime(*args.now);
        if (!fixed) return fail("bad --now '" + *args.now + "' (YYYY-MM-DD HH:MM:SS)");
        now = *fixed;
    }
    std::optional<std::time_t> since;
    if (args.since) {
        since = parseDay(*args.since);
        if (!since) return fail("bad --since '" + *args.since + "' (YYYY-MM-DD)");
    }
    WorkingFolder folder = defaultWorkingFolder();
    if (auto e = selectRoot(args.root, folder)) return fail(*e);
    Workspace ws(now, std::move(folder));
    if (auto e = ws.load()) return fail(*e);
    if (args.words[0] == "fleet") {
        if (args.words.size() != 1) return fail(std::string(kUsage));
        return fleetReport(args, ws, since.value_or(now - kDefaultChartDays * kDaySeconds));
    }
    return locationReport(args, ws, since.value_or(0));
}

}  // namespace quirn::ctl
