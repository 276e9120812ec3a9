#include "schoolyear/CalendarExport.h"

#include <algorithm>

#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr const char* kCrLf = "\r\n";
// iCalendar lines are folded so that none is longer than this many octets.
constexpr size_t kIcsLineOctets = 75;
constexpr const char* kProductId = "-//Quirn Radio//School year export//EN";
constexpr const char* kUidDomain = "quirnradio.invalid";

std::vector<SwitchTime> timesOf(const Group& group, int plan) {
    std::vector<SwitchTime> times;
    if (plan < kPlanNormal || plan > kMaxUserDayPlan) return times;
    const DayPlan* dayPlan = group.findDayPlan(plan);
    if (!dayPlan) return times;
    std::vector<Step> steps = dayPlan->steps();
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) {
        return a.minuteOfDay() < b.minuteOfDay();
    });
    for (const Step& s : steps) {
        if (s.isProgrammed()) times.push_back({s.hour, s.minute, s.command == 1});
    }
    return times;
}

// TEXT values escape backslash, semicolon, comma and line ends.
std::string icsText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

// Appends one content line, folded (CR LF and a blank) without splitting a UTF-8 character.
void appendFolded(std::string& out, const std::string& line) {
    size_t start = 0;
    size_t limit = kIcsLineOctets;
    while (line.size() - start > limit) {
        size_t cut = start + limit;
        while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out.append(line, start, cut - start);
        out += kCrLf;
        out += ' ';
        start = cut;
        limit = kIcsLineOctets - 1;  // the blank that starts a continuation counts
    }
    out.append(line, start, std::string::npos);
    out += kCrLf;
}

// "20270906T120000Z": the UTC time of t, from day arithmetic (no time zone involved).
std::string utcStamp(std::time_t t) {
    constexpr long long kSecondsPerDay = 86400;
    const long long seconds = static_cast<long long>(t);
    long long days = seconds / kSecondsPerDay;
    long long rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const CalendarDate date = CalendarDate::fromDayNumber(static_cast<long>(days));
    const int second = static_cast<int>(rest);
    return format("%04d%02d%02dT%02d%02d%02dZ", date.year, date.month, date.day, second / 3600,
                  second / 60 % 60, second % 60);
}

std::string compactDate(CalendarDate d) {
    return format("%04d%02d%02d", d.year, d.month, d.day);
}

}  // namespace

std::string switchTimesText(const std::vector<SwitchTime>& times) {
    std::string out;
    for (const auto& t : times) {
        if (!out.empty()) out += ' ';
        out += format("%s %02d:%02d", t.on ? "ON" : "OFF", t.hour, t.minute);
    }
    return out;
}

std::vector<ScheduledDay> groupSchedule(const PlanDatabase& database, GroupRef ref,
                                        CalendarDate first, CalendarDate last, std::time_t now) {
    std::vector<ScheduledDay> days;
    const Group* group = database.findGroup(ref.masterGroup, ref.group);
    if (!group || !first.valid() || !last.valid() || last < first) return days;
    const long count = std::min(last.dayNumber() - first.dayNumber() + 1, kMaxWindowDays);
    days.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
        ScheduledDay day;
        day.date = first.plusDays(i);
        day.plan = database.planForDate(ref.masterGroup, ref.group, day.date.localMidnight(), now);
        day.planName = group->dayPlanListName(day.plan);
        day.times = timesOf(*group, day.plan);
        days.push_back(std::move(day));
    }
    return days;
}

std::string scheduleCsv(const std::vector<ScheduledDay>& days) {
    std::string out = std::string("Date,Weekday,Plan,Name,Times") + kCrLf;
    for (const auto& day : days) {
        std::string name = day.planName;
        std::replace(name.begin(), name.end(), ',', ' ');  // one field, no quoting
        out += day.date.iso() + "," + weekdayName(day.date.weekday()) + "," +
               std::to_string(day.plan) + "," + name + "," + switchTimesText(day.times) + kCrLf;
    }
    return out;
}

std::string scheduleIcs(const std::vector<ScheduledDay>& days, GroupRef group,
                        const std::string& groupName, std::time_t now) {
    std::string out;
    const std::string dtstamp = utcStamp(now);
    appendFolded(out, "BEGIN:VCALENDAR");
    appendFolded(out, "VERSION:2.0");
    appendFolded(out, std::string("PRODID:") + kProductId);
    appendFolded(out, "CALSCALE:GREGORIAN");
    appendFolded(out, "X-WR-CALNAME:" + icsText(groupName));
    for (const auto& day : days) {
        appendFolded(out, "BEGIN:VEVENT");
        appendFolded(out, format("UID:%s-%d-%d@%s", compactDate(day.date).c_str(),
                                 group.masterGroup, group.group, kUidDomain));
        appendFolded(out, "DTSTAMP:" + dtstamp);
        appendFolded(out, "DTSTART;VALUE=DATE:" + compactDate(day.date));
        appendFolded(out, "DTEND;VALUE=DATE:" + compactDate(day.date.plusDays(1)));
        appendFolded(out, "SUMMARY:" + icsText(day.planName));
        std::string description = format("Day plan %d", day.plan);
        if (!day.times.empty()) description += ": " + switchTimesText(day.times);
        appendFolded(out, "DESCRIPTION:" + icsText(description));
        appendFolded(out, "TRANSP:TRANSPARENT");
        appendFolded(out, "END:VEVENT");
    }
    appendFolded(out, "END:VCALENDAR");
    return out;
}

}  // namespace quirn
