#include "plans/DatabaseFiles.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "plans/DatabaseFileLines.h"
#include "plans/PlanDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

using Fields = std::vector<std::string_view>;

bool validGroupNumbers(int mg, int g) {
    return mg >= kMinMasterGroup && mg <= kMaxMasterGroup && g >= kMinGroup && g <= kMaxGroup;
}
bool validLocationNumbers(int mg, int g, int l) {
    return validGroupNumbers(mg, g) && l >= kMinLocation && l <= kMaxLocation;
}
bool validDayPlanNumber(int plan) {
    return plan >= kPlanNone && plan <= kMaxUserDayPlan;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Runs fn(fields) for every line of a file.
template <typename Fn>
void forEachRecord(const std::string& text, Fn fn) {
    LineReader reader(text);
    std::string_view line;
    Fields fields;
    while (reader.next(line)) {
        splitFields(line, fields);
        fn(fields);
    }
}

int num(const Fields& f, size_t i) {
    return atoiField(f[i]);
}

void loadDayPlans(PlanDatabase& db, const std::string& text, std::time_t now) {
    LocalDayCache days;
    db.clearSpecialWeekPlans();
    db.setSpecialWeekEnd(neverTime());
    forEachRecord(text, [&](const Fields& f) {
        const std::string_view key = f[0];
        if (key == "DayPlan" && f.size() >= 7) {
            int g = num(f, 1), mg = num(f, 2);
            if (!validGroupNumbers(mg, g)) return;
            AnnualPlan a{g, mg, num(f, 3), days.midnight(num(f, 4), num(f, 5), num(f, 6))};
            db.addAnnualPlan(a);
        } else if (key == "VacationPlan" && f.size() >= 9) {
            int g = num(f, 1), mg = num(f, 2);
            if (!validGroupNumbers(mg, g)) return;
            VacationPlan v;
            v.masterGroup = mg;
            v.group = g;
            v.start = days.midnight(num(f, 3), num(f, 4), num(f, 5));
            v.end = fromLocal(num(f, 6), num(f, 7), num(f, 8), kVacationEndHour, kVacationEndMinute,
                              kVacationEndSecond);
            db.addVacationPlan(v);
        } else if (key == "DayPlanName" && f.size() >= 5) {
            int plan = num(f, 1), g = num(f, 2), mg = num(f, 3);
            if (!validGroupNumbers(mg, g) || !validDayPlanNumber(plan)) return;
            db.addDayPlan(mg, g, plan, std::string(f[4]));
        } else if (key == "DayPlanDefault" && f.size() >= 5) {
            int weekday = num(f, 1), g = num(f, 2), mg = num(f, 3);
            if (weekday < 1 || weekday > 7 || !validGroupNumbers(mg, g)) return;
            db.group(mg, g).setDefaultDay(weekday, num(f, 4));
        } else if (key == "SWP" && f.size() >= 11) {
            SpecialWeekPlan s;
            s.masterGroup = num(f, 1);
            s.group = num(f, 2);
            s.location = num(f, 3);
            if (!validGroupNumbers(s.masterGroup, s.group)) return;
            for (int d = 1; d <= 7; ++d) s.days.setDay(d, num(f, 3 + d));
            db.addSpecialWeekPlan(s);
        } else if (key == "SWT" && f.size() >= 7) {
            db.setSpecialWeekEnd(
                fromLocal(num(f, 1), num(f, 2), num(f, 3), num(f, 4), num(f, 5), num(f, 6)));
        }
    });
    db.expireSpecialWeekPlans(now);
    for (Group* g : db.allGroups()) g->sortAnnualPlans();
}

void loadSteps(PlanDatabase& db, const std::string& text) {
    for (Group* g : db.allGroups()) g->deleteAllSteps();
    forEachRecord(text, [&](const Fields& f) {
        if (!startsWith(f[0], "Step") || f.size() < 6) return;
        int plan = num(f, 1), g = num(f, 2), minutes = num(f, 3), mg = num(f, 4);
        if (!validGroupNumbers(mg, g) || !validDayPlanNumber(plan)) return;
        db.addStep(Step::atMinuteOfDay(mg, g, plan, minutes, num(f, 5)));
    });
}

void loadGroups(PlanDatabase& db, const std::string& text) {
    forEachRecord(text, [&](const Fields& f) {
        if (!startsWith(f[0], "Group") || f.size() < 4) return;
        int mg = num(f, 1), g = num(f, 3);
        if (!validGroupNumbers(mg, g)) return;
        db.group(mg, g).setName(std::string(f[2]));
    });
}

void loadLocations(PlanDatabase& db, const std::string& text,
                   const std::optional<std::string>& snapshot, const LoadHooks& hooks) {
    // Pass one: the locations themselves.
    forEachRecord(text, [&](const Fields& f) {
        if (!startsWith(f[0], "Location") || f.size() < 6) return;
        Location l(num(f, 2), num(f, 1), num(f, 5));
        if (!validLocationNumbers(l.masterGroup, l.group, l.number)) return;
        l.setType(f[3]);
        l.name = std::string(f[4]);
        if (f.size() > 6 && !f[6].empty()) l.connection = std::string(f[6]);
        if (f.size() > 7 && !f[7].empty()) l.model = num(f, 7);
        db.addLocation(l);
    });
    // Pass two: the lines that add to existing locations.
    forEachRecord(text, [&](const Fields& f) {
        const std::string_view key = f[0];
        if (startsWith(key, "Ignore") && f.size() >= 4) {
            if (Location* l = db.findLocation(num(f, 2), num(f, 1), num(f, 3)))
                l->setValidateDisabled(true);
            return;
        }
        if (f.size() < 4) return;
        Location* l = db.findLocation(num(f, 1), num(f, 2), num(f, 3));
        if (!l) return;
        if (startsWith(key, "PhoneNumber") || startsWith(key, "IMSI")) {
            l->imsi = f.size() > 4 ? std::string(f[4]) : std::string();
        } else if (startsWith(key, "Version") && f.size() >= 5) {
            l->firmwareVersion = std::string(f[4]);
        } else if (startsWith(key, "StriderTime") && f.size() >= 5) {
            l->setStriderTimeCode(num(f, 4));
        }
    });
    if (hooks.forgetLocationReferences) hooks.forgetLocationReferences();
    if (snapshot) applySnapshotBytes(db, *snapshot, hooks);
}

}  // namespace

std::time_t datedPlanCutOff(std::time_t now) {
    LocalDateTime t = toLocal(now);
    return fromLocal(t.year, t.month, t.day - t.weekday, t.hour, t.minute, t.second);
}

std::string dayPlanFileName(const WorkingFolder& folder, const char* ext) {
    return folder.file(std::string("dayplan.") + ext);
}
std::string groupsFileName(const WorkingFolder& folder, const char* ext) {
    return folder.file(std::string("groups.") + ext);
}
std::string locationsFileName(const WorkingFolder& folder, const char* ext) {
    return folder.file(std::string("locations.") + ext);
}
std::string stepsFileName(const WorkingFolder& folder, const char* ext) {
    return folder.file(std::string("steps.") + ext);
}
std::string snapshotFileName(const WorkingFolder& folder) {
    return folder.file("Quirn Locations.bin");
}
std::string overrideFileName(const WorkingFolder& folder) {
    return folder.file("override.csv");
}
std::string settingsFileName(const WorkingFolder& folder) {
    return folder.file("profile.csv");
}
std::string passwayFileName(const WorkingFolder& folder) {
    return folder.file("Passway.pw2");
}

DatabaseTexts readDatabaseTexts(PlanDatabase& db, const WorkingFolder& folder) {
    // The files are read in the order their parts are loaded (a missing one is created empty);
    // what could not be read leaves its part of the database as it was, and the snapshot is
    // read only when the locations it belongs to were.
    UnreadableFiles& files = db.unreadableFiles();
    DatabaseTexts texts;
    texts.dayPlans = files.loadText(dayPlanFileName(folder));
    texts.steps = files.loadText(stepsFileName(folder));
    texts.groups = files.loadText(groupsFileName(folder));
    texts.locations = files.loadText(locationsFileName(folder));
    if (texts.locations) texts.snapshot = files.loadIfPresent(snapshotFileName(folder));
    return texts;
}

void loadDatabase(PlanDatabase& db, const WorkingFolder& folder, std::time_t now,
                  const LoadHooks& hooks) {
    loadDatabaseTexts(db, readDatabaseTexts(db, folder), now, hooks);
}

void loadDatabaseTexts(PlanDatabase& db, const DatabaseTexts& texts, std::time_t now,
                       const LoadHooks& hooks) {
    if (texts.dayPlans) loadDayPlans(db, *texts.dayPlans, now);
    if (texts.steps) loadSteps(db, *texts.steps);
    if (texts.groups) loadGroups(db, *texts.groups);
    if (texts.locations) loadLocations(db, *texts.locations, texts.snapshot, hooks);
    for (Group* g : db.allGroups()) g->recomputeProgramView();
    db.setLoaded();
}

void writeAnnualPlanLines(CrLfWriter& out, const Group& g, std::time_t cutOff,
                          LocalDayCache& days) {
    // Loading sorts the annual plans; only plans added since need a sorted copy.
    auto byDate = [](const AnnualPlan& a, const AnnualPlan& b) { return a.date < b.date; };
    std::vector<AnnualPlan> sortedCopy;
    const std::vector<AnnualPlan>* annual = &g.annualPlans();
    if (!std::is_sorted(annual->begin(), annual->end(), byDate)) {
        sortedCopy = *annual;
        std::stable_sort(sortedCopy.begin(), sortedCopy.end(), byDate);
        annual = &sortedCopy;
    }
    for (const AnnualPlan& a : *annual) {
        if (cutOff > a.date) continue;
        LocalDateTime d = days.date(a.date);
        out.line("DayPlan", g.number(), g.masterGroup(), a.plan, d.year, d.month, d.day);
    }
}

void writeVacationPlanLines(CrLfWriter& out, const Group& g, std::time_t cutOff,
                            LocalDayCache& days) {
    for (const VacationPlan& v : g.vacationPlans()) {
        if (cutOff > v.end) continue;
        LocalDateTime s = days.date(v.start), e = days.date(v.end);
        out.line("VacationPlan", g.number(), g.masterGroup(), s.year, s.month, s.day, e.year,
                 e.month, e.day);
    }
}

void writeDayPlanNameLines(CrLfWriter& out, const Group& g) {
    for (const auto& d : g.dayPlans()) {
        if (d->plan() < 2 || d->hasDefaultName()) continue;
        out.line("DayPlanName", d->plan(), g.number(), g.masterGroup(), CsvField{d->name()});
    }
}

void writeDayPlanDefaultLines(CrLfWriter& out, const Group& g) {
    for (int weekday = 1; weekday <= 7; ++weekday) {
        int plan = g.defaultWeek().day(weekday);
        if (plan == WeekPlan::standardDay(weekday)) continue;
        out.line("DayPlanDefault", weekday, g.number(), g.masterGroup(), plan);
    }
}

void writeSpecialWeekLines(CrLfWriter& out, PlanDatabase& db) {
    for (const SpecialWeekPlan& s : db.specialWeekPlans()) {
        const auto& d = s.days.days;
        out.line("SWP", s.masterGroup, s.group, s.location, d[1], d[2], d[3], d[4], d[5], d[6],
                 d[7]);
    }
    if (db.specialWeekPlans().empty()) db.setSpecialWeekEnd(neverTime());
    LocalDateTime end = toLocal(db.specialWeekEnd());
    out.line("SWT", end.year, end.month, end.day, end.hour, end.minute, end.second);
}

void writeStepLines(CrLfWriter& out, const Group& g) {
    const std::string masterGroup = "," + std::to_string(g.masterGroup()) + ",";
    for (int plan = 1; plan <= kMaxStoredStepsPlan; ++plan) {
        const DayPlan* d = g.findDayPlan(plan);
        if (!d) continue;
        // "Step,plan,group,minutes,master group,command": the day plan's own fields are
        // formatted once for all its steps.
        const std::string head =
            "Step," + std::to_string(plan) + "," + std::to_string(g.number()) + ",";
        for (const Step& s : d->steps())
            out.text(head).number(s.minuteOfDay()).text(masterGroup).number(s.command).endLine();
    }
}

void writeGroupLine(CrLfWriter& out, const Group& g) {
    out.line("Group", g.masterGroup(), CsvField{g.name()}, g.number());
}

void writeLocationLines(CrLfWriter& out, Group& g) {
    // The numbers every line of the group starts with, formatted once per group: group
    // first for "Location" and "Ignore", master group first for the others.
    const std::string group = std::to_string(g.number());
    const std::string masterGroup = std::to_string(g.masterGroup());
    const std::string groupFirst = "," + group + "," + masterGroup;
    const std::string masterFirst = "," + masterGroup + "," + group;
    for (const auto& location : g.locations()) {
        Location& l = *location;
        if (l.type().empty()) l.setType("School");
        out.text("Location")
            .text(groupFirst)
            .line("", CsvField{l.type()}, CsvField{l.name}, l.number, CsvField{l.connection},
                  l.model);
        if (l.connection == kM2MAddress)
            out.text("IMSI").text(masterFirst).line("", l.number, CsvField{l.imsi});
        if (l.validateDisabledFlag()) out.text("Ignore").text(groupFirst).line("", l.number);
        if (l.firmwareVersion != "X.XX")
            out.text("Version").text(masterFirst).line("", l.number, CsvField{l.firmwareVersion});
        if (l.isModel(TimeSwitchModel::Strider))
            out.text("StriderTime").text(masterFirst).line("", l.number, l.striderTimeCode());
    }
}

static void writeDayPlanFile(CrLfWriter& out, PlanDatabase& db, std::time_t now) {
    const std::time_t cutOff = datedPlanCutOff(now);
    const std::vector<Group*> groups = db.allGroups();
    LocalDayCache days;
    constexpr size_t kDayPlanLinesPerGroup = 48;
    constexpr size_t kDayPlanLineLength = 32;
    out.reserve(groups.size() * kDayPlanLinesPerGroup * kDayPlanLineLength);
    for (const Group* g : groups) writeAnnualPlanLines(out, *g, cutOff, days);
    for (const Group* g : groups) writeVacationPlanLines(out, *g, cutOff, days);
    for (const Group* g : groups) writeDayPlanNameLines(out, *g);
    for (const Group* g : groups) writeDayPlanDefaultLines(out, *g);
    writeSpecialWeekLines(out, db);
}

static void writeStepsFile(CrLfWriter& out, const PlanDatabase& db) {
    // Room for full day plans up front: growing a multi-megabyte text costs more than writing it.
    constexpr size_t kStepLineLength = 24;
    const std::vector<Group*> groups = db.allGroups();
    out.reserve(groups.size() * kMaxStoredStepsPlan * kMaxStepsPerDayPlan * kStepLineLength);
    for (const Group* g : groups) writeStepLines(out, *g);
}

static void writeGroupsFile(CrLfWriter& out, const PlanDatabase& db) {
    for (const Group* g : db.allGroups()) writeGroupLine(out, *g);
}

static void writeLocationsFile(CrLfWriter& out, PlanDatabase& db) {
    constexpr size_t kLocationTextLength = 96;  // a "Location" line and its companions
    out.reserve(db.locationCount() * kLocationTextLength);
    for (Group* g : db.allGroups()) writeLocationLines(out, *g);
}

std::string dayPlanFileText(PlanDatabase& db, std::time_t now) {
    CrLfWriter out;
    writeDayPlanFile(out, db, now);
    return out.take();
}
std::string stepsFileText(const PlanDatabase& db) {
    CrLfWriter out;
    writeStepsFile(out, db);
    return out.take();
}
std::string groupsFileText(const PlanDatabase& db) {
    CrLfWriter out;
    writeGroupsFile(out, db);
    return out.take();
}
std::string locationsFileText(PlanDatabase& db) {
    CrLfWriter out;
    writeLocationsFile(out, db);
    return out.take();
}

std::vector<DatabaseFile> databaseFiles(PlanDatabase& db, const WorkingFolder& folder,
                                        std::time_t now) {
    std::vector<DatabaseFile> files;
    CrLfWriter out;
    writeLocationsFile(out, db);
    files.push_back({locationsFileName(folder), std::string(out.str())});
    out.clear();
    writeDayPlanFile(out, db, now);
    files.push_back({dayPlanFileName(folder), std::string(out.str())});
    out.clear();
    writeStepsFile(out, db);
    files.push_back({stepsFileName(folder), std::string(out.str())});
    out.clear();
    writeGroupsFile(out, db);
    files.push_back({groupsFileName(folder), out.take()});
    return files;
}

bool saveDatabase(PlanDatabase& db, const WorkingFolder& folder, std::time_t now) {
    // A file that could not be read at load is left as it is.
    const UnreadableFiles& unreadable = db.unreadableFiles();
    bool ok = true;
    for (const DatabaseFile& file : databaseFiles(db, folder, now))
        ok = unreadable.replace(file.path, file.text) && ok;
    return ok;
}

}  // namespace quirn
