// The checks of single fields and of the dates and times that several fields make.
#include <cstdio>

#include "plans/ConnectionAddress.h"
#include "plans/PlanChecker.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kNotProgrammedMinutes = -61;  // how a step that is not programmed is written
constexpr int kCommandOff = 0;
constexpr int kCommandOn = 1;
constexpr int kMaxModel = 3;
constexpr int kMaxStriderCode = 9;
// The years a plan of a school year can mean; a two-digit year is the usual slip.
constexpr int kMinPlanYear = 2000;
constexpr int kMaxPlanYear = 2099;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole decimal number, as a technician would write one: blanks around it are allowed.
bool isWholeNumber(std::string_view field) {
    std::string_view s = trimBlanks(field);
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    if (s.empty()) return false;
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

std::string clockText(int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

// How the station reads a number of this kind, for the finding's effect.
std::string readAs(FieldKind kind, int value) {
    if (kind == FieldKind::Minutes) {
        if (value < 0) return "read as a step that is not programmed";
        return "read as " + std::to_string(value) + " (" + clockText(value % kMinutesPerDay) + ")";
    }
    return "read as " + std::to_string(value);
}

std::string dateText(std::time_t t) {
    if (t == kImpossibleTime) return "no date at all";
    return formatLocal("%d %B %Y", t);
}

struct Range {
    int low;
    int high;
};

}  // namespace

bool PlanChecker::checkFieldCount(const Line& line) {
    const RecordLayout& layout = *line.layout;
    const size_t most = layout.fields.size() + 1;
    if (line.count() < layout.requiredFields) {
        add(line, "line", line.text,
            "ends after " + std::to_string(line.count()) + " fields where a " + layout.keyword +
                " line needs " + std::to_string(layout.requiredFields),
            "the line is ignored");
        return false;
    }
    if (line.count() > most) {
        // A text field before the last one shifts every later field when it holds a comma.
        bool textBeforeEnd = false;
        for (size_t i = 0; i + 1 < layout.fields.size(); ++i)
            textBeforeEnd = textBeforeEnd || layout.fields[i].kind == FieldKind::Text;
        add(line, "line", line.text,
            "has " + std::to_string(line.count()) + " fields where a " + layout.keyword +
                " line has " + std::to_string(most) +
                (textBeforeEnd ? ": a comma in a name splits it" : ""),
            textBeforeEnd ? "the fields are read by their place, so every field after the comma "
                            "is read as the next one"
                          : "the fields after the last one are ignored");
    }
    return true;
}

bool PlanChecker::checkField(Line& line, size_t index) {
    const FieldKind kind = line.layout->fields[index - 1].kind;
    if (kind == FieldKind::Text) return true;
    if (kind == FieldKind::Address) {
        checkAddress(line, index);
        return true;
    }
    // A connection or model that is left empty takes its default; every other number reads 0.
    const bool optional = line.layout->kind == RecordKind::Location && index >= 6;
    if (optional && line.raw(index).empty()) return true;
    line.values[index] = atoiField(line.raw(index));
    checkNumberText(line, index);
    return checkRange(line, index);
}

void PlanChecker::checkNumberText(const Line& line, size_t index) {
    const std::string_view raw = line.raw(index);
    if (isWholeNumber(raw)) return;
    const FieldLayout& field = line.layout->fields[index - 1];
    add(line, field.name, raw,
        trimBlanks(raw).empty() ? "is empty where a number belongs" : "is not a whole number",
        readAs(field.kind, line.value(index)));
}

bool PlanChecker::checkRange(const Line& line, size_t index) {
    const FieldLayout& field = line.layout->fields[index - 1];
    const int v = line.value(index);
    const std::string read = std::string(line.raw(index));
    auto outside = [&](Range r) { return v < r.low || v > r.high; };
    auto rangeText = [](Range r) {
        return "is outside " + std::to_string(r.low) + ".." + std::to_string(r.high);
    };
    switch (field.kind) {
        case FieldKind::MasterGroup:
        case FieldKind::Group:
        case FieldKind::Location:
        case FieldKind::NamedPlan:
        case FieldKind::Weekday: {
            static constexpr Range kMasterGroups{kMinMasterGroup, kMaxMasterGroup};
            static constexpr Range kGroups{kMinGroup, kMaxGroup};
            static constexpr Range kLocations{kMinLocation, kMaxLocation};
            static constexpr Range kPlans{kPlanNone, kMaxUserDayPlan};
            static constexpr Range kWeekdays{kSunday, kSaturday};
            const Range r = field.kind == FieldKind::MasterGroup ? kMasterGroups
                            : field.kind == FieldKind::Group     ? kGroups
                            : field.kind == FieldKind::Location  ? kLocations
                            : field.kind == FieldKind::NamedPlan ? kPlans
                                                                 : kWeekdays;
            if (!outside(r)) return true;
            add(line, field.name, read, rangeText(r), "the line is ignored");
            return false;
        }
        case FieldKind::LocationOrAll:
            if (outside({0, kMaxLocation}))
                add(line, field.name, read, rangeText({0, kMaxLocation}) + " (0 is every location)",
                    "it is kept as it stands, and no location has that number");
            return true;
        case FieldKind::StepPlan:
            if (outside({kPlanNone, kMaxUserDayPlan})) {
                add(line, field.name, read, rangeText({kPlanNone, kMaxUserDayPlan}),
                    "the line is ignored");
                return false;
            }
            if (outside({kPlanNormal, kMaxStoredStepsPlan}))
                add(line, field.name, read,
                    "only day plans 1.." + std::to_string(kMaxStoredStepsPlan) + " hold steps",
                    "the step is read, but never sent to a time switch and not saved again");
            return true;
        case FieldKind::PlanChoice:
            if (outside({kPlanNone, kMaxUserDayPlan}) && v != kPlanHoliday && v != kPlanNoneAlt)
                add(line, field.name, read,
                    "is no day plan (0.." + std::to_string(kMaxUserDayPlan) + ", " +
                        std::to_string(kPlanHoliday) + " holiday, " + std::to_string(kPlanNoneAlt) +
                        " none)",
                    "it is kept as it stands, and that day gets no ON or OFF step");
            return true;
        case FieldKind::Minutes:
            if (v >= kMinutesPerDay)
                add(line, field.name, read, "is more than a day (0..1439 minutes since midnight)",
                    "read as " + clockText(v % kMinutesPerDay) + " of the next day round");
            else if (v < 0 && v != kNotProgrammedMinutes)
                add(line, field.name, read, "is negative (0..1439 minutes since midnight)",
                    "read as a step that is not programmed, and saved as -61");
            return true;
        case FieldKind::Command:
            if (v != kCommandOff && v != kCommandOn)
                add(line, field.name, read, "is neither 0 (OFF) nor 1 (ON)", "sent as OFF");
            return true;
        case FieldKind::Model:
            if (outside({0, kMaxModel}))
                add(line, field.name, read,
                    "is no time switch model (0 QN510, 1 MX40, 2 Strider, 3 LR40)",
                    "it is kept as it stands, and the station sends nothing a model of its own "
                    "would take");
            return true;
        case FieldKind::StriderCode:
            if (outside({0, kMaxStriderCode}))
                add(line, field.name, read, rangeText({0, kMaxStriderCode}),
                    "read as 0 (15 seconds)");
            return true;
        case FieldKind::DatePart:
        case FieldKind::TimePart:
        case FieldKind::Text:
        case FieldKind::Address:
            return true;
    }
    return true;
}

void PlanChecker::checkAddress(const Line& line, size_t index) {
    const std::string_view address = line.raw(index);
    if (address.empty() || isTimeSwitchConnection(address)) return;
    add(line, "connection", address,
        address == kBroadcastAddress
            ? "is the address of every link, not of one time switch"
            : "is neither the radio (127.0.0.2), the M2M client (127.0.0.1) nor an IPv4 address",
        "the station tries to reach the time switch there and no message arrives");
}

bool PlanChecker::checkDate(const Line& line, size_t first, const char* label) {
    const int year = line.value(first), month = line.value(first + 1), day = line.value(first + 2);
    bool fine = true;
    if (year < kMinPlanYear || year > kMaxPlanYear) {
        add(line, line.layout->fields[first - 1].name, line.raw(first),
            "is outside " + std::to_string(kMinPlanYear) + ".." + std::to_string(kMaxPlanYear),
            "read as the year " + std::to_string(year));
        fine = false;
    }
    if (month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month)) return fine;
    const std::string read = std::string(line.raw(first)) + "," + std::string(line.raw(first + 1)) +
                             "," + std::string(line.raw(first + 2));
    add(line, label, read, "is no date (year, month, day)",
        "read as " + dateText(fromLocal(year, month, day)));
    return false;
}

void PlanChecker::checkSpecialWeekEnd(const Line& line) {
    checkDate(line, 1, "end date");
    const int hour = line.value(4), minute = line.value(5), second = line.value(6);
    if (hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59)
        return;
    add(line, "end time",
        std::string(line.raw(4)) + "," + std::string(line.raw(5)) + "," + std::string(line.raw(6)),
        "is no time of day (hour, minute, second)",
        "read as " +
            formatLocal("%d %B %Y %H:%M:%S", fromLocal(line.value(1), line.value(2), line.value(3),
                                                       hour, minute, second)));
}

void PlanChecker::checkVacationOrder(const Line& line) {
    const std::time_t start = fromLocal(line.value(3), line.value(4), line.value(5));
    const std::time_t end = fromLocal(line.value(6), line.value(7), line.value(8));
    if (start == kImpossibleTime || end == kImpossibleTime || end >= start) return;
    add(line, "end date",
        std::string(line.raw(6)) + "," + std::string(line.raw(7)) + "," + std::string(line.raw(8)),
        "is before the start " + dateText(start), "the vacation covers no day");
}

}  // namespace quirn
