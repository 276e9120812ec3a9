#include "tools/quirnctl/CalendarCommand.h"

#include <cstdio>
#include <set>

#include "app/StationApp.h"
#include "plans/DatabaseFiles.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarExport.h"
#include "schoolyear/CalendarReader.h"
#include "tools/quirnctl/CalendarCommandArgs.h"
#include "tools/quirnctl/Cli.h"
#include "tools/quirnctl/PortCommand.h"
#include "tools/quirnctl/Workspace.h"

namespace quirn::ctl {

namespace {

constexpr const char* kUsage =
    "usage: quirnctl import-calendar FILE --groups MG:G,... [--map FILE] [--from YYYY-MM-DD\n"
    "         --to YYYY-MM-DD] [--dry-run] [--folder DIR] [--now 'YYYY-MM-DD HH:MM:SS'] --out DIR\n"
    "       quirnctl export-calendar --group MG:G [--from YYYY-MM-DD --to YYYY-MM-DD]\n"
    "         (--ics FILE | --csv FILE) [--folder DIR] [--now 'YYYY-MM-DD HH:MM:SS']\n"
    "FILE is an iCalendar (.ics) file or the plain CSV (docs/school-calendar-csv.md); the map\n"
    "has one rule per line, 'SUMMARY or CATEGORY = Holiday | Vacation | Day plan N | Ignore'.\n";
// A mapping file is a few dozen lines; anything far larger is not one.
constexpr size_t kMaxMapBytes = 256 * 1024;
// An export without --from/--to covers today and the year after it.
constexpr int kExportMonths = 12;

struct CalendarJob {
    const CalendarCommandArgs& args;
    std::time_t now;
    Workspace& ws;
};

std::optional<std::string> readMapping(const CalendarCommandArgs& args, CalendarMapping& mapping) {
    if (!args.map) return std::nullopt;
    const auto text = readWholeFile(*args.map);
    if (!text) return *args.map + ": cannot be read";
    if (text->size() > kMaxMapBytes) return *args.map + ": is too large for a mapping file";
    CalendarMappingParse parse = parseCalendarMapping(*text, *args.map);
    if (!parse.ok()) return parse.error;
    mapping = std::move(parse.mapping);
    return std::nullopt;
}

// The days of --from/--to, or `fallback` when neither is given.
std::optional<std::string> readWindow(const CalendarCommandArgs& args, CalendarWindow fallback,
                                      CalendarWindow& window) {
    if (!args.from && !args.to) {
        window = fallback;
        return std::nullopt;
    }
    if (!args.from || !args.to) return "--from and --to go together";
    const auto from = parseIsoDate(*args.from);
    if (!from) return "bad --from '" + *args.from + "' (YYYY-MM-DD)";
    const auto to = parseIsoDate(*args.to);
    if (!to) return "bad --to '" + *args.to + "' (YYYY-MM-DD)";
    if (*to < *from) return "--to " + *args.to + " is before --from " + *args.from;
    if (to->dayNumber() - from->dayNumber() >= kMaxWindowDays)
        return "--from .. --to spans more than " + std::to_string(kMaxWindowDays) + " days";
    window = CalendarWindow{*from, *to};
    return std::nullopt;
}

// Writes the whole database of the workspace into `out`, holding the station's lock on it so
// that no station starts there meanwhile.
std::optional<std::string> writeResult(Workspace& ws, const std::string& outText) {
    const std::string out = withTrailingSeparator(outText);
    // quirnctl never writes into the folder it reads, under any spelling of it: the result is
    // a folder of its own that the technician looks over before it replaces the station's.
    if (folderExists(out) && sameFolder(out, ws.folder().path()))
        return "--out must not be the working folder it reads; nothing was written";
    if (!folderExists(out) && !makeFolders(out)) return "cannot create " + out;
    SingleInstance outLock(StationApp::kInstanceName, out);
    if (!outLock.acquire()) return "a running station holds " + out + "; nothing was written";
    const WorkingFolder target(out);
    bool ok = saveDatabase(ws.db(), target, ws.clock().now());
    ok = saveSnapshot(ws.db(), target) && ok;
    ok = ws.settings().save(settingsFileName(target)) && ok;
    ok = ws.summer().saveIn(target) && ok;
    if (!ok) return "could not write every file into " + out;
    return std::nullopt;
}

int importCalendar(const CalendarJob& job) {
    const CalendarCommandArgs& args = job.args;
    if (args.words.size() != 1)
        return fail("import-calendar needs one calendar FILE\n" + std::string(kUsage));
    if (!args.groups) return fail("import-calendar needs --groups MG:G,...");
    if (!args.dryRun && !args.out) return fail("import-calendar needs --out DIR (or --dry-run)");
    std::string error;
    const auto groups = parseGroupList(*args.groups, &error);
    if (!groups) return fail("--groups: " + error);
    CalendarWindow window;
    if (auto e = readWindow(args, defaultCalendarWindow(job.now), window)) return fail(*e);
    CalendarMapping mapping;
    if (auto e = readMapping(args, mapping)) return fail(*e);
    const CalendarReadResult read = readCalendarFile(args.words[0], window);
    if (!read.ok()) return fail(read.error);

    const CalendarChangePlan plan =
        planCalendarChanges(job.ws.db(), *groups, read.events, mapping, job.now);
    std::fputs(calendarChangesText(job.ws.db(), plan).c_str(), stdout);
    if (!plan.applicable()) {
        std::fprintf(stderr,
                     "quirnctl: nothing applied: %d event(s) unmapped (write a rule for each in "
                     "--map), %d refused\n",
                     static_cast<int>(plan.unmapped.size()),
                     static_cast<int>(plan.refusals.size()));
        return kExitMismatch;
    }
    std::set<GroupRef> touched;
    for (const auto& c : plan.changes) touched.insert(c.group);
    if (args.dryRun) {
        writeLine("dry run: " + std::to_string(plan.changes.size()) + " change(s) for " +
                  std::to_string(touched.size()) + " group(s); nothing written");
        return kExitOk;
    }
    const CalendarApplyResult applied = applyCalendarChanges(job.ws.db(), plan.changes);
    if (!applied.ok()) return fail("nothing applied: " + applied.refusal);
    if (auto e = writeResult(job.ws, *args.out)) return fail(*e);
    writeLine("applied " + std::to_string(applied.applied) + " change(s) to " +
              std::to_string(touched.size()) + " group(s); wrote " +
              withTrailingSeparator(*args.out));
    return kExitOk;
}

int exportCalendar(const CalendarJob& job) {
    const CalendarCommandArgs& args = job.args;
    if (!args.words.empty()) return fail(std::string("export-calendar takes no words\n") + kUsage);
    if (!args.groups) return fail("export-calendar needs --group MG:G");
    if (args.ics.has_value() == args.csv.has_value())
        return fail("export-calendar needs one of --ics FILE or --csv FILE");
    std::string error;
    const auto groups = parseGroupList(*args.groups, &error);
    if (!groups || groups->size() != 1)
        return fail("--group: " + (groups ? std::string("one group only") : error));
    const GroupRef ref = groups->front();
    const Group* group = job.ws.db().findGroup(ref.masterGroup, ref.group);
    if (!group) {
        return fail("no group " + std::to_string(ref.group) + " in master group " +
                    std::to_string(ref.masterGroup));
    }
    const CalendarDate today = CalendarDate::ofLocal(job.now);
    CalendarWindow window;
    if (auto e = readWindow(args, {today, today.plusMonths(kExportMonths).plusDays(-1)}, window))
        return fail(*e);
    const auto days = groupSchedule(job.ws.db(), ref, window.first, window.last, job.now);
    const std::string text =
        args.ics ? scheduleIcs(days, ref, group->name(), job.now) : scheduleCsv(days);
    const std::string& path = args.ics ? *args.ics : *args.csv;
    if (!replaceFileAtomically(path, text)) return fail("cannot write " + path);
    writeLine("wrote " + std::to_string(days.size()) + " day(s) of group " +
              std::to_string(ref.masterGroup) + ":" + std::to_string(ref.group) + " to " + path);
    return kExitOk;
}

}  // namespace

bool isCalendarCommand(int argc, const char* const* argv) {
    const std::string word = firstCommandWord(argc, argv);
    return word == kImportCalendar || word == kExportCalendar;
}

int runCalendarCommand(int argc, const char* const* argv) {
    CalendarCommandArgs args;
    if (auto e = parseCalendarCommandArgs(argc, argv, args)) return fail(*e);
    if (args.help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    std::time_t now = SystemClock().now();
    if (args.now) {
        const auto fixed = parseDateTime(*args.now);
        if (!fixed) return fail("bad --now '" + *args.now + "' (YYYY-MM-DD HH:MM:SS)");
        now = *fixed;
    }
    WorkingFolder folder = defaultWorkingFolder();
    if (auto e = selectRoot(args.folder, folder)) return fail(*e);
    Workspace ws(now, std::move(folder));
    if (auto e = ws.load()) return fail(*e);
    const CalendarJob job{args, now, ws};
    return args.command == kImportCalendar ? importCalendar(job) : exportCalendar(job);
}

}  // namespace quirn::ctl
