#include "plans/PlanChecker.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

constexpr int kGroupKeys = (kMaxMasterGroup + 1) * 100;
constexpr int kLocationKeys = kGroupKeys * 100;
constexpr int kMinutesPerDay = 24 * 60;
constexpr int kNotProgrammed = -1;
// A group of this name and number only unlocks a loader button: it needs no locations.
constexpr int kVornTimeMasterGroup = 1;
constexpr int kVornTimeGroup = 99;
constexpr std::string_view kVornTimeName = "MOXBYRD";
// The file order of findings about records taken together: after every file.
constexpr int kJudgedTogether = 100;

int groupKey(int masterGroup, int group) {
    return masterGroup * 100 + group;
}
int locationKey(int masterGroup, int group, int location) {
    return groupKey(masterGroup, group) * 100 + location;
}
// Midnights as minutes, which an int holds for every year a plan can name.
constexpr int kSecondsPerMinute = 60;
int minuteOf(std::time_t t) {
    return static_cast<int>(t / kSecondsPerMinute);
}

std::string groupText(int masterGroup, int group) {
    return std::to_string(masterGroup) + "," + std::to_string(group);
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string weekdaysText(const std::vector<int>& days) {
    std::string out;
    for (size_t i = 0; i < days.size(); ++i) {
        if (i > 0) out += i + 1 == days.size() ? " and " : ", ";
        out += weekdayName(days[i]);
    }
    return out;
}

}  // namespace

size_t PlanChecker::RecordKeyHash::operator()(const RecordKey& key) const {
    // splitmix64's finaliser over the parts, so that near keys land far apart.
    uint64_t h = 0;
    for (int part : key) {
        h = (h ^ static_cast<uint32_t>(part)) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 31;
    }
    return static_cast<size_t>(h);
}

PlanChecker::PlanChecker()
    : groups_(kGroupKeys),
      locations_(kLocationKeys),
      planSteps_(static_cast<size_t>(kGroupKeys) * (kMaxUserDayPlan + 1)) {}

void PlanChecker::missingFile(const DatabaseFileLayout& file) {
    ++currentFile_;
    addAbout(file.name, 0, 0, 0, "file", "", "is missing",
             "the station creates it empty and reads no record from it");
}

void PlanChecker::checkFile(const DatabaseFileLayout& file, std::string_view text) {
    ++currentFile_;
    LineReader reader(text);
    std::string_view line;
    Fields fields;
    int number = 0;
    while (reader.next(line)) {
        ++number;
        if (trimBlanks(line).empty()) continue;
        splitFields(line, fields);
        checkLine(file, number, line, fields);
    }
    if (file.kind == DatabaseFileKind::Locations) judgeLocationReferences();
}

void PlanChecker::checkLine(const DatabaseFileLayout& file, int number, std::string_view text,
                            const Fields& fields) {
    Line line;
    line.file = &file;
    line.number = number;
    line.text = text;
    line.fields = &fields;
    line.layout = recordLayoutFor(file, fields[0]);
    if (line.layout == nullptr) {
        std::string problem = std::string("is no keyword of ") + file.name;
        for (const RecordLayout& r : file.records)
            if (sameIgnoringCase(fields[0], r.keyword))
                problem += std::string(" (keywords are written \"") + r.keyword + "\")";
        add(line, "keyword", fields[0], problem, "the line is ignored");
        return;
    }
    if (!checkFieldCount(line)) return;
    line.values.assign(fields.size(), 0);
    const size_t known = std::min(fields.size(), line.layout->fields.size() + 1);
    // The group first, so that every finding of the line can name it.
    for (size_t i = 1; i < known; ++i) {
        const FieldKind kind = line.layout->fields[i - 1].kind;
        const int v = atoiField(fields[i]);
        if (kind == FieldKind::MasterGroup && v >= kMinMasterGroup && v <= kMaxMasterGroup)
            line.masterGroup = v;
        if (kind == FieldKind::Group && v >= kMinGroup && v <= kMaxGroup) line.group = v;
    }
    bool read = true;
    for (size_t i = 1; i < known; ++i) read = checkField(line, i) && read;
    if (read) noteRecord(line);
}

void PlanChecker::noteRecord(const Line& line) {
    GroupFacts& group = groupFacts(line.masterGroup, line.group);
    if (line.layout->kind != RecordKind::SpecialWeekEnd &&
        line.layout->kind != RecordKind::SpecialWeek &&
        line.file->kind != DatabaseFileKind::Locations)
        group.exists = true;
    switch (line.layout->kind) {
        case RecordKind::DayPlan:
            checkDate(line, 4, "date");
            noteAnnualPlan(line);
            usePlan(line, line.value(3), "day plan");
            break;
        case RecordKind::VacationPlan: {
            const bool startFine = checkDate(line, 3, "start date");
            if (checkDate(line, 6, "end date") && startFine) checkVacationOrder(line);
            noteDuplicate(
                line, vacationLines_,
                {groupKey(line.masterGroup, line.group),
                 minuteOf(days_.midnight(line.value(3), line.value(4), line.value(5))),
                 minuteOf(days_.midnight(line.value(6), line.value(7), line.value(8))), 0},
                "the same vacation", "this line replaces it");
            break;
        }
        case RecordKind::DayPlanName: {
            const int plan = line.value(1);
            int& seen = group.nameLine[plan];
            if (seen != 0)
                add(line, "day plan", line.raw(1),
                    "is named on line " + std::to_string(seen) + " already",
                    "this line's name replaces it");
            seen = line.number;
            group.planNamed.set(plan);
            break;
        }
        case RecordKind::DayPlanDefault: {
            int& seen = group.defaultDayLine[line.value(1)];
            if (seen != 0)
                add(line, "weekday", line.raw(1),
                    "has its day plan on line " + std::to_string(seen) + " already",
                    "this line's day plan replaces it");
            seen = line.number;
            usePlan(line, line.value(4), "day plan");
            break;
        }
        case RecordKind::SpecialWeek:
            if (group.specialWeekLine != 0)
                add(line, "group", line.raw(2),
                    "has a special week plan on line " + std::to_string(group.specialWeekLine) +
                        " already",
                    "this line replaces it");
            group.specialWeekLine = line.number;
            for (size_t day = 4; day <= 10; ++day)
                usePlan(line, line.value(day), line.layout->fields[day - 1].name);
            break;
        case RecordKind::Step:
            noteStep(line);
            break;
        case RecordKind::Group:
            if (group.namedLine != 0)
                add(line, "group", line.raw(3),
                    "group " + groupText(line.masterGroup, line.group) + " is named on line " +
                        std::to_string(group.namedLine) + " already",
                    "this line's name replaces it");
            group.namedLine = line.number;
            group.vornTimeMarker = line.masterGroup == kVornTimeMasterGroup &&
                                   line.group == kVornTimeGroup && line.raw(2) == kVornTimeName;
            break;
        case RecordKind::Location:
            noteLocation(line);
            break;
        case RecordKind::Ignore:
        case RecordKind::Imsi:
        case RecordKind::Version:
        case RecordKind::StriderTime: {
            references_.push_back(
                {line.number, locationKey(line.masterGroup, line.group, line.value(3)),
                 line.layout->kind, line.count() > 4 ? std::string(line.raw(4)) : std::string()});
            break;
        }
        case RecordKind::SpecialWeekEnd:
            checkSpecialWeekEnd(line);
            break;
    }
}

void PlanChecker::noteStep(const Line& line) {
    const int plan = line.value(1), minutes = line.value(3), command = line.value(5);
    const int minute = minutes < 0 ? kNotProgrammed : minutes % kMinutesPerDay;
    // A day plan keeps at most 16 steps, so its own short list is the fastest lookup.
    std::vector<StepSeen>& kept =
        planSteps_[groupKey(line.masterGroup, line.group) * (kMaxUserDayPlan + 1) + plan];
    const StepSeen* sameMinute = nullptr;
    for (const StepSeen& s : kept) {
        if (s.minute != minute) continue;
        if (s.command == command) {
            add(line, "line", line.text, "is the same step as line " + std::to_string(s.line),
                "the line is dropped");
            return;
        }
        sameMinute = &s;
    }
    if (kept.size() >= static_cast<size_t>(kMaxStepsPerDayPlan)) {
        add(line, "line", line.text,
            "day plan " + std::to_string(plan) + " of group " +
                groupText(line.masterGroup, line.group) + " has " +
                std::to_string(kMaxStepsPerDayPlan) + " steps already",
            "the step is dropped");
        return;
    }
    if (minute != kNotProgrammed && sameMinute != nullptr)
        add(line, "minutes", line.raw(3),
            "line " + std::to_string(sameMinute->line) +
                " switches the other way at the same minute",
            "which of the two the time switch does last is not defined");
    kept.push_back({minute, command, line.number});
    if (minute != kNotProgrammed) groupFacts(line.masterGroup, line.group).planHasSteps.set(plan);
}

void PlanChecker::noteLocation(const Line& line) {
    GroupFacts& group = groupFacts(line.masterGroup, line.group);
    group.exists = true;
    LocationFacts& location = locations_[locationKey(line.masterGroup, line.group, line.value(5))];
    if (location.line != 0) {
        add(line, "location", line.raw(5),
            "location " + groupText(line.masterGroup, line.group) + "," +
                std::to_string(line.value(5)) + " is on line " + std::to_string(location.line) +
                " already",
            "it keeps line " + std::to_string(location.line) +
                "'s connection and model and takes this line's name and type");
        return;
    }
    location.line = line.number;
    location.throughM2M = line.count() > 6 && line.raw(6) == kM2MAddress;
    ++group.locations;
}

void PlanChecker::noteAnnualPlan(const Line& line) {
    // The reader keeps one plan a date, whatever the spelling: 2027,2,30 is 2 March.
    const std::time_t date = days_.midnight(line.value(4), line.value(5), line.value(6));
    noteDuplicate(line, annualLines_,
                  {groupKey(line.masterGroup, line.group), minuteOf(date), 0, 0},
                  "a plan for the same date", "this line's plan replaces it");
}

void PlanChecker::noteDuplicate(const Line& line, KeyedLines& seen, const RecordKey& key,
                                const char* what, const std::string& effect) {
    auto [earlier, fresh] = seen.try_emplace(key, line.number);
    if (fresh) return;
    add(line, "line", line.text,
        std::string("line ") + std::to_string(earlier->second) + " holds " + what, effect);
    earlier->second = line.number;
}

void PlanChecker::usePlan(const Line& line, int plan, const char* field) {
    if (plan < kPlanNormal || plan > kMaxUserDayPlan) return;
    planUses_.push_back({line.file->name, line.number, line.masterGroup, line.group, plan, field});
}

void PlanChecker::judgeLocationReferences() {
    for (const LocationReference& r : references_) {
        const LocationFacts& location = locations_[r.key];
        const int mg = r.key / 10000, g = r.key / 100 % 100, l = r.key % 100;
        const std::string read = groupText(mg, g) + "," + std::to_string(l);
        if (location.line == 0) {
            addAbout("locations.csv", r.line, mg, g, "location", read, "names no location",
                     "the line is ignored");
        } else if (r.kind == RecordKind::Imsi && !r.imsi.empty() && !location.throughM2M) {
            addAbout("locations.csv", r.line, mg, g, "location", read,
                     "is not reached through the M2M client (127.0.0.1)",
                     "the IMSI is read, but not saved again: the next save loses it");
        }
    }
    references_.clear();
}

void PlanChecker::judgePlanUses() {
    for (const PlanUse& use : planUses_) {
        const GroupFacts& group = groups_[groupKey(use.masterGroup, use.group)];
        if (group.planHasSteps.test(use.plan) || group.planNamed.test(use.plan)) continue;
        addAbout(use.file, use.line, use.masterGroup, use.group, use.field,
                 std::to_string(use.plan),
                 "day plan " + std::to_string(use.plan) + " of group " +
                     groupText(use.masterGroup, use.group) + " is never defined",
                 "that day gets no ON or OFF step");
    }
}

void PlanChecker::judgeGroups() {
    for (int key = 0; key < kGroupKeys; ++key) {
        const GroupFacts& group = groups_[key];
        if (!group.exists) continue;
        const int mg = key / 100, g = key % 100;
        if (group.namedLine == 0)
            addAbout("groups.csv", 0, mg, g, "group", groupText(mg, g), "has no Group line",
                     "it is named \"Group " + std::to_string(g) + "\"");
        if (group.locations == 0) {
            if (!group.vornTimeMarker)
                addAbout("locations.csv", 0, mg, g, "group", groupText(mg, g), "has no locations",
                         "its programming reaches no time switch");
            continue;
        }
        // The default week gives Monday to Friday day plan 1 unless a line says otherwise.
        if (group.planHasSteps.test(kPlanNormal) || group.planNamed.test(kPlanNormal)) continue;
        std::vector<int> days;
        for (int day = kSunday + 1; day < kSaturday; ++day)
            if (group.defaultDayLine[day] == 0) days.push_back(day);
        if (days.empty()) continue;
        addAbout(
            "steps.csv", 0, mg, g, "group", groupText(mg, g),
            "day plan 1, which its default week gives " + weekdaysText(days) + ", is never defined",
            "those days get no ON or OFF step");
    }
}

std::vector<PlanFinding> PlanChecker::finish() {
    // What is judged of the records together comes after every line of every file.
    currentFile_ = kJudgedTogether;
    judgePlanUses();
    judgeGroups();
    std::vector<size_t> order(findings_.size());
    std::iota(order.begin(), order.end(), 0);
    // Lines in file order; findings about no single line after them all.
    auto rank = [this](size_t i) { return std::make_pair(fileOrder_[i], findings_[i].line); };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return rank(a) < rank(b); });
    std::vector<PlanFinding> sorted;
    sorted.reserve(order.size());
    for (size_t i : order) sorted.push_back(std::move(findings_[i]));
    findings_.clear();
    return sorted;
}

void PlanChecker::add(const Line& line, const char* field, std::string_view read,
                      std::string problem, std::string effect) {
    addAbout(line.file->name, line.number, line.masterGroup, line.group, field, std::string(read),
             std::move(problem), std::move(effect));
}

void PlanChecker::addAbout(const char* file, int line, int masterGroup, int group,
                           const char* field, std::string read, std::string problem,
                           std::string effect) {
    findings_.push_back({file, line, field, std::move(read), std::move(problem), std::move(effect),
                         masterGroup, group});
    fileOrder_.push_back(currentFile_);
}

PlanChecker::GroupFacts& PlanChecker::groupFacts(int masterGroup, int group) {
    return groups_[groupKey(masterGroup, group)];
}

}  // namespace quirn
