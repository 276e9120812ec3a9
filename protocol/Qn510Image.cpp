#include "protocol/Qn510Image.h"

#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/DaySet.h"

namespace quirn {

namespace {

constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;
constexpr char kStriderLetter = 'a';
constexpr const char* kUnknownVersion = "X.XX";
constexpr uint8_t kHolidayBit = 0x80;  // day mask bit outside the seven weekdays

struct VersionRow {
    char letter;
    const char* version;
};
constexpr VersionRow kVersions[] = {
    {'A', "5.01"}, {'B', "5.02"}, {'C', "5.10"}, {'D', "5.20"}, {kStriderLetter, "1.00"},
};

void describeTable(std::vector<std::string>& lines, const Qn510Tables& tables,
                   Qn510Tables::Table table) {
    lines.push_back("Holiday X M T W T F X");
    for (const Qn510Tables::Entry& e : tables.entries(table)) {
        std::string line = (e.days & kHolidayBit) ? "   X   " : "       ";
        for (int d = 1; d <= kDaysPerWeek; ++d) line += (e.days & qn510DayBit(d)) ? " X" : " -";
        line += format(" %s %02d:%02d", e.on() ? "ON " : "OFF", e.plainHour(), e.minute);
        lines.push_back(line);
    }
}

}  // namespace

std::string firmwareVersion(char letter) {
    for (const VersionRow& row : kVersions)
        if (row.letter == letter) return row.version;
    return kUnknownVersion;
}

bool isStriderVersion(char letter) {
    return letter == kStriderLetter;
}

int Qn510Image::weekday() const {
    return tables_.bytes()[Qn510Tables::kWeekday];
}
int Qn510Image::hour() const {
    return tables_.bytes()[Qn510Tables::kHour];
}
int Qn510Image::minute() const {
    return tables_.bytes()[Qn510Tables::kMinute];
}

std::time_t Qn510Image::clock() const {
    if (hour() > kLastHour || minute() > kLastMinute) return neverTime();
    LocalDateTime read = toLocal(readTime_);
    return fromLocal(read.year, read.month, read.day, hour(), minute(), read.second);
}

std::string Qn510Image::describeRelay() const {
    return (tables_.flags() & Qn510Tables::kRelayOn) ? "Relay status is ON."
                                                     : "Relay status is OFF.";
}

std::string Qn510Image::timeLine() const {
    std::time_t c = clock();
    if (isNever(c)) return "Invalid Date";
    return formatLocal("Time Switch time is %H:%M.%S %A, %B %d, %Y.", c);
}

std::vector<std::string> Qn510Image::describeProgram() const {
    std::vector<std::string> lines;
    const char* day = weekdayName(weekday());
    if (*day == '\0' || hour() > kLastHour || minute() > kLastMinute)
        lines.push_back("Invalid Date");
    else
        lines.push_back(format("QN510 Time %02d:%02d %s.", hour(), minute(), day));
    lines.push_back(describeRelay());
    lines.push_back("Default Week Plan:");
    describeTable(lines, tables_, Qn510Tables::Table::Default);
    lines.push_back("Alternate Week Plan:");
    if (tables_.flags() & Qn510Tables::kAlternateActive) lines.push_back("Alternate Plan Active.");
    describeTable(lines, tables_, Qn510Tables::Table::Alternate);
    lines.push_back("Override Plan:");
    if (tables_.flags() & Qn510Tables::kOverrideActive) lines.push_back("Override Plan Active");
    describeTable(lines, tables_, Qn510Tables::Table::Override);
    return lines;
}

}  // namespace quirn
