#include "plans/SummerPlanStore.h"

#include <utility>

#include "plans/PlanPager.h"
#include "plans/PlanTypes.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

// Fields of each line, keyword included.
constexpr size_t kDateFields = 4;      // year, month, day
constexpr size_t kLocationFields = 4;  // master group, group, location
constexpr size_t kStepFields = 5;      // ON hour, ON minute, OFF hour, OFF minute
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool validLocation(int mg, int g, int l) {
    return mg >= kMinMasterGroup && mg <= kMaxMasterGroup && g >= kMinGroup && g <= kMaxGroup &&
           l >= kMinLocation && l <= kMaxLocation;
}

bool validTime(int hour, int minute) {
    return hour >= 0 && hour < kHoursPerDay && minute >= 0 && minute < kMinutesPerHour;
}

}  // namespace

std::string summerFileName(const WorkingFolder& folder) {
    return folder.file("summer.csv");
}

SummerPlanStore::SummerPlanStore(const Clock& clock, WorkingFolder folder)
    : clock_(clock), folder_(std::move(folder)) {}

bool SummerPlanStore::load() {
    plans_.clear();
    const std::string path = summerFileName(folder_);
    // Something that is there but cannot be read must not be replaced by an empty file at save.
    std::optional<std::string> text = unreadableFiles_.loadIfPresent(path);
    if (!text) return false;
    loadText(*text);
    return true;
}

void SummerPlanStore::loadText(std::string_view text) {
    plans_.clear();
    std::optional<SummerPlan> current;
    LineReader reader(text);
    std::string_view line;
    std::vector<std::string_view> f;
    while (reader.next(line)) {
        if (startsWith(line, "SummerPlan")) {
            if (current) plans_.push_back(std::move(*current));
            current.emplace();
            const size_t comma = line.find(',');
            if (comma != std::string_view::npos)
                current->name = std::string(line.substr(comma + 1));
            continue;
        }
        if (!current) continue;
        splitFields(line, f);
        auto num = [&f](size_t i) { return atoiField(f[i]); };
        if (startsWith(line, "StartDate")) {
            if (f.size() >= kDateFields) current->setStartDate(num(1), num(2), num(3));
        } else if (startsWith(line, "EndDate")) {
            if (f.size() >= kDateFields) current->setEndDate(num(1), num(2), num(3));
        } else if (startsWith(line, "Location")) {
            if (f.size() >= kLocationFields && validLocation(num(1), num(2), num(3)))
                current->addLocation(num(1), num(2), num(3));
        } else if (startsWith(line, "Step")) {
            if (f.size() < kStepFields) continue;
            SummerPlanStep s{num(1), num(2), num(3), num(4)};
            if (validTime(s.onHour, s.onMinute) && validTime(s.offHour, s.offMinute))
                current->steps.push_back(s);
        }
    }
    if (current) plans_.push_back(std::move(*current));
}

std::string SummerPlanStore::fileText() const {
    CrLfWriter out;
    for (const SummerPlan& p : plans_) {
        out.line("SummerPlan", p.name);
        const LocalDateTime start = toLocal(p.startDate);
        const LocalDateTime end = toLocal(p.endDate);
        out.line("StartDate", start.year, start.month, start.day);
        out.line("EndDate", end.year, end.month, end.day);
        for (const SummerLocation& l : p.locations)
            out.line("Location", l.masterGroup, l.group, l.location);
        for (const SummerPlanStep& s : p.steps)
            out.line("Step", s.onHour, s.onMinute, s.offHour, s.offMinute);
    }
    return out.take();
}

bool SummerPlanStore::save() const {
    return saveIn(folder_);
}

bool SummerPlanStore::saveIn(const WorkingFolder& folder) const {
    return unreadableFiles_.replace(summerFileName(folder), fileText());
}

const SummerPlan* SummerPlanStore::findPlanOf(int mg, int g, int l) const {
    for (const SummerPlan& p : plans_)
        if (p.hasLocation(mg, g, l)) return &p;
    return nullptr;
}

bool SummerPlanStore::isActive(const SummerPlan& plan) const {
    return plan.isActive(clock_.now());
}

size_t SummerPlanStore::pendingPages() const {
    size_t n = 0;
    for (const SummerPlan& p : plans_)
        for (const SummerLocation& l : p.locations) n += l.page ? 1 : 0;
    return n;
}

bool SummerPlanStore::tick(PlanPager& pager) {
    for (SummerPlan& p : plans_) {
        for (SummerLocation& l : p.locations) {
            if (!l.page) continue;
            l.page = false;
            pager.sendSummerWeek(p, l);
            return true;
        }
    }
    const std::time_t now = clock_.now();
    const LocalDateTime t = toLocal(now);
    const std::time_t minute = now - t.second;
    if (t.weekday != kPageWeekday || t.hour != kPageHour || t.minute != kPageMinute ||
        handledMinute_ == minute)
        return false;
    handledMinute_ = minute;
    for (SummerPlan& p : plans_) {
        if (!p.isActive(now)) continue;
        for (SummerLocation& l : p.locations) l.page = true;
    }
    return false;
}

}  // namespace quirn
