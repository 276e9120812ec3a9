#include "protocol/Validation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "protocol/Base62.h"
#include "protocol/DaySet.h"
#include "protocol/LogEntry.h"
#include "protocol/ReadState.h"

namespace quirn {

namespace pi = program_image;

namespace {

constexpr int kWholeGroup = 0;
constexpr std::time_t kSecondsPerMinute = 60;
constexpr long kEarliestFine = -1;  // minutes: a clock 1:59 behind still passes
constexpr long kLatestFine = 1;
constexpr size_t kAllSlots = pi::kPlanSlots + 1;  // slot 0 is compared too
constexpr size_t kEndMark = pi::kEndMarkAt;
constexpr int kNoon = 12;
constexpr double kSecondsPerDay = 24.0 * 3600.0;

const Qn510Tables::Table kWeekTables[] = {Qn510Tables::Table::Default,
                                          Qn510Tables::Table::Alternate};
const Qn510Tables::Table kAllTables[] = {Qn510Tables::Table::Default, Qn510Tables::Table::Alternate,
                                         Qn510Tables::Table::Override};

bool rangeEqual(const ProgramImage::Bytes& a, const ProgramImage::Bytes& b, size_t from,
                size_t length) {
    return std::equal(a.begin() + from, a.begin() + from + length, b.begin() + from);
}

bool addressMatches(const ProgramImage& expected, const ProgramImage& read) {
    const auto& e = expected.bytes();
    const auto& r = read.bytes();
    // A switch loaded group-wide carries location 0 and serves any location of the group.
    size_t location = pi::kAddress + 2;
    return e[pi::kAddress] == r[pi::kAddress] && e[pi::kAddress + 1] == r[pi::kAddress + 1] &&
           (r[location] == 0 || e[location] == r[location]);
}

bool slotsMatch(const ProgramImage::Bytes& a, const ProgramImage::Bytes& b) {
    for (size_t slot = 0; slot < kAllSlots; ++slot) {
        size_t base = pi::kSlotStart + pi::kSlotLength * slot;
        for (size_t s = 0; s < pi::kStepsPerSlot; ++s) {
            size_t at = base + pi::kStepLength * s;
            if (a[at] != b[at]) return false;
            if (a[at] == 0) break;
            if (a[at + 1] != b[at + 1]) return false;
        }
    }
    return true;
}

// Day index of a calendar date counted from today's date (either may be in DST).
long dayIndex(std::time_t todayNoon, int year, int month, int day) {
    std::time_t noon = fromLocal(year, month, day, kNoon);
    double days = std::difftime(noon, todayNoon) / kSecondsPerDay;
    return static_cast<long>(days >= 0 ? days + 0.5 : days - 0.5);
}

}  // namespace

std::vector<int> Validation::imageCalendar(const ProgramImage& image, std::time_t today) {
    ProgramImage checked = image;
    checked.checkAnnualEntries();
    std::time_t todayNoon = noonAfter(today, 0);
    int weekday = toLocal(todayNoon).weekday;
    std::vector<int> days(kCalendarDays);
    for (int i = 0; i < kCalendarDays; ++i)
        days[i] = checked.bytes()[pi::kDefaultWeek + (weekday - 1 + i) % kDaysPerWeek];
    for (const AnnualEntry& e : checked.annualEntries()) {
        long from = std::max(0L, dayIndex(todayNoon, e.startYear, e.startMonth, e.startDay));
        long to = std::min(static_cast<long>(kCalendarDays) - 1,
                           dayIndex(todayNoon, e.endYear, e.endMonth, e.endDay));
        for (long i = from; i <= to; ++i) days[i] = e.plan;
    }
    return days;
}

bool Validation::imagesMatch(const ProgramImage& expected, const ProgramImage& read,
                             std::time_t today) {
    const auto& e = expected.bytes();
    const auto& r = read.bytes();
    return addressMatches(expected, read) &&
           rangeEqual(e, r, pi::kDefaultWeek, pi::kDefaultWeekLength) &&
           rangeEqual(e, r, pi::kDaylightRule, pi::kDaylightRuleLength) &&
           e[kEndMark] == r[kEndMark] &&
           imageCalendar(expected, today) == imageCalendar(read, today) && slotsMatch(e, r);
}

Qn510Tables Validation::normalised(const Qn510Tables& tables) {
    Qn510Tables out = tables;
    for (Qn510Tables::Table table : kAllTables) {
        // By minute of day, ON before OFF; the stored hour and minute stay part of the key so
        // that impossible values read back are never merged into real ones.
        std::map<std::tuple<int, int, int, int>, uint8_t> merged;
        for (const Qn510Tables::Entry& e : tables.entries(table)) {
            int minute = e.plainHour() * kMinutesPerHour + e.minute;
            merged[{minute, e.on() ? 0 : 1, e.plainHour(), e.minute}] |= e.days;
        }
        std::vector<Qn510Tables::Entry> entries;
        for (const auto& [key, days] : merged) {
            auto [minuteOfDay, off, hour, minute] = key;
            (void)minuteOfDay;
            auto hourByte = static_cast<uint8_t>(hour | (off == 0 ? Qn510Tables::kOnBit : 0));
            entries.push_back({days, hourByte, static_cast<uint8_t>(minute)});
        }
        out.writeTable(table, entries);
    }
    return out;
}

bool Validation::tablesMatch(const Qn510Tables& expected, const Qn510Tables& read) {
    Qn510Tables a = normalised(expected);
    Qn510Tables b = normalised(read);
    for (Qn510Tables::Table table : kWeekTables)
        if (a.entries(table) != b.entries(table)) return false;
    return (a.flags() & Qn510Tables::kAlternateActive) ==
           (b.flags() & Qn510Tables::kAlternateActive);
}

bool Validation::clockWrong(std::time_t switchClock, std::time_t readTime) {
    if (isNever(switchClock)) return true;
    long minutes = static_cast<long>((switchClock - readTime) / kSecondsPerMinute);
    return minutes > kLatestFine || minutes < kEarliestFine;
}

bool Validation::qn510ClockWrong(const Qn510Image& image, std::time_t readTime) {
    Qn510Image atRead = image;
    atRead.setReadTime(readTime);
    return clockWrong(atRead.clock(), readTime) || image.weekday() != toLocal(readTime).weekday;
}

Qn510Tables Validation::expectedQn510(const Location& location) const {
    Qn510Tables image = Qn510Tables::fresh(toLocal(download_.clock().now()));
    std::vector<std::string> texts;
    const Group* group = download_.database().findGroup(location.masterGroup, location.group);
    if (download_.summerInEffect(location)) {
        if (group != nullptr)
            texts.push_back(
                download_.defaultWeekText(*group, kWholeGroup, download_.clock().now()));
        texts.push_back(download_.summerWeekText(location));
    } else {
        texts = download_.pagedTexts(location.masterGroup, location.group);
    }
    for (const std::string& text : texts)
        for (const LogEntry& entry : decodeText(text)) applyTo(entry, image);
    return image;
}

unsigned Validation::compare(Location& location) {
    unsigned result = 0;
    ProgramImage expected = download_.imageFor(location);
    const ReadBackImage* read = location.image.get();
    std::time_t readTime = location.lastReadTime;

    if (isImageModel(location.model)) {
        const auto* image = dynamic_cast<const ProgramImage*>(read);
        if (image == nullptr) return kProgramMismatch | kClockWrong;
        if (!imagesMatch(expected, *image, download_.clock().now())) result |= kProgramMismatch;
        if (clockWrong(image->clock(), readTime)) result |= kClockWrong;
        return result;
    }

    if (location.isModel(TimeSwitchModel::Strider) &&
        (location.passwayConfirm || location.hasDelayTimeError()))
        result |= kStriderUnconfirmed;
    const auto* image = dynamic_cast<const Qn510Image*>(read);
    if (image == nullptr) return result | kProgramMismatch | kClockWrong;
    if (!tablesMatch(expectedQn510(location), image->tables())) result |= kProgramMismatch;
    if (qn510ClockWrong(*image, readTime)) result |= kClockWrong;
    return result;
}

unsigned Validation::revalidate(Location& location) {
    auto state = static_cast<ReadState>(location.readState);
    if (state != ReadState::ValidatePassed && state != ReadState::ValidateFailed) return 1;
    unsigned result = compare(location);
    setReadState(location, result == 0 ? ReadState::ValidatePassed : ReadState::ValidateFailed,
                 download_.clock().now());
    return result;
}

}  // namespace quirn
