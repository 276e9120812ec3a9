#include <libical/ical.h>

#include <cctype>
#include <memory>

#include "platform/Format.h"
#include "platform/TextLines.h"
#include "schoolyear/CalendarReadSupport.h"
#include "schoolyear/CalendarReader.h"

namespace quirn {

namespace {

constexpr std::string_view kIcsEnd = "END:VCALENDAR";
// A recurring event that starts longer ago than this is refused: libical steps through every
// occurrence from its start, and a school's rule never began decades back.
constexpr int kMaxRecurrenceYearsBeforeWindow = 10;
// The expansion window is widened by this many days on each side so that zone offsets never
// drop an occurrence at its edge; occurrences are then kept by their own dates.
constexpr long kExpansionMarginDays = 2;

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

std::string text(const char* value) {
    return value ? std::string(trimmed(value)) : std::string();
}

// "event 3 'Labor Day' (UID x@y)": how an error names an event for the technician.
std::string eventName(icalcomponent* event, int index) {
    std::string name = format("event %d", index);
    if (const std::string summary = text(icalcomponent_get_summary(event)); !summary.empty()) {
        name += " '" + summary + "'";
    }
    if (const std::string uid = text(icalcomponent_get_uid(event)); !uid.empty()) {
        name += " (UID " + uid + ")";
    }
    return name;
}

std::vector<std::string> categoriesOf(icalcomponent* event) {
    std::vector<std::string> categories;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_CATEGORIES_PROPERTY)) {
        const std::string value = text(icalproperty_get_categories(p));
        size_t start = 0;
        while (start <= value.size()) {
            const size_t comma = std::min(value.find(',', start), value.size());
            const std::string one(trimmed(std::string_view(value).substr(start, comma - start)));
            if (!one.empty()) categories.push_back(one);
            start = comma + 1;
        }
    }
    return categories;
}

// The first parse error libical noted inside the event, or "".
std::string parseErrorOf(icalcomponent* event) {
    icalproperty* error = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY);
    return error ? text(icalproperty_get_xlicerror(error)) : std::string();
}

// Why the event's recurrence rules cannot be expanded safely, or "".
std::string recurrenceProblem(icalcomponent* event, const icaltimetype& start,
                              const CalendarWindow& window) {
    bool recurs = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        recurs = true;
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq == ICAL_NO_RECURRENCE) return "has an RRULE that is not understood";
        if (rule.freq < ICAL_DAILY_RECURRENCE || rule.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX ||
            rule.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX ||
            rule.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX) {
            return "repeats more often than daily (a school calendar repeats by days)";
        }
    }
    if (recurs && start.year < window.first.year - kMaxRecurrenceYearsBeforeWindow) {
        return format("repeats from %04d, more than %d years before %s", start.year,
                      kMaxRecurrenceYearsBeforeWindow, window.first.iso().c_str());
    }
    return "";
}

CalendarDate dateOf(const icaltimetype& t) {
    return CalendarDate{t.year, t.month, t.day};
}

// Days the event lasts beyond its first day: DTEND is exclusive for dates, and a timed event
// that ends at midnight ends the day before.
long extraDaysOf(icaltimetype start, icaltimetype end) {
    if (icaltime_is_null_time(end)) return 0;
    if (!start.is_date && !end.is_date && start.zone && end.zone && start.zone != end.zone) {
        end = icaltime_convert_to_zone(end, const_cast<icaltimezone*>(start.zone));
    }
    long last = dateOf(end).dayNumber();
    if (end.is_date || (end.hour == 0 && end.minute == 0 && end.second == 0)) --last;
    return std::max(0L, last - dateOf(start).dayNumber());
}

icaltimetype utcMidnight(CalendarDate date) {
    icaltimetype t = icaltime_null_time();
    t.year = date.year;
    t.month = date.month;
    t.day = date.day;
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

// What the recurrence callback fills.
struct Expansion {
    CalendarEvent pattern;
    const CalendarWindow* window = nullptr;
    const icaltimezone* zone = nullptr;  // the zone DTSTART is written in (UTC when floating)
    bool startInUtc = false;
    bool allDay = false;
    long extraDays = 0;
    size_t maxEvents = 0;
    std::vector<CalendarEvent>* events = nullptr;
    bool overflow = false;
};

void addOccurrence(icalcomponent*, struct icaltime_span* span, void* data) {
    auto& x = *static_cast<Expansion*>(data);
    if (x.overflow) return;
    CalendarDate first;
    if (x.startInUtc) {
        first = CalendarDate::ofLocal(span->start);
    } else {
        first = dateOf(icaltime_from_timet_with_zone(span->start, x.allDay ? 1 : 0,
                                                     const_cast<icaltimezone*>(x.zone)));
    }
    CalendarEvent event = x.pattern;
    event.first = first;
    event.last = first.plusDays(x.extraDays);
    if (!overlapsWindow(event, *x.window)) return;
    if (x.events->size() >= x.maxEvents) {
        x.overflow = true;
        return;
    }
    x.events->push_back(std::move(event));
}

// Adds the event's occurrences inside the window; returns the problem, or "".
std::string readEvent(icalcomponent* event, int index, const CalendarWindow& window,
                      const CalendarReadLimits& limits, std::vector<CalendarEvent>& events) {
    const std::string name = eventName(event, index);
    if (const std::string error = parseErrorOf(event); !error.empty()) {
        return name + " cannot be read: " + error;
    }
    if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED) return "";
    const icaltimetype start = icalcomponent_get_dtstart(event);
    if (icaltime_is_null_time(start) || !dateOf(start).valid()) {
        return name + " has no DTSTART date that can be read";
    }
    const long extraDays = extraDaysOf(start, icalcomponent_get_dtend(event));
    if (extraDays + 1 > limits.maxEventDays) {
        return name + format(" lasts %ld days, more than %ld", extraDays + 1, limits.maxEventDays);
    }
    if (const std::string problem = recurrenceProblem(event, start, window); !problem.empty()) {
        return name + " " + problem;
    }

    Expansion x;
    x.pattern.summary = text(icalcomponent_get_summary(event));
    x.pattern.categories = categoriesOf(event);
    const std::string uid = text(icalcomponent_get_uid(event));
    x.pattern.source = uid.empty() ? format("event %d", index) : "UID " + uid;
    x.window = &window;
    x.startInUtc = icaltime_is_utc(start);
    x.zone = start.zone && !x.startInUtc ? start.zone : icaltimezone_get_utc_timezone();
    x.allDay = start.is_date;
    x.extraDays = extraDays;
    x.maxEvents = limits.maxEvents;
    x.events = &events;
    const CalendarDate from = window.first.plusDays(-extraDays - kExpansionMarginDays);
    const CalendarDate to = window.last.plusDays(kExpansionMarginDays);
    icalcomponent_foreach_recurrence(event, utcMidnight(from), utcMidnight(to), addOccurrence, &x);
    if (x.overflow) {
        return name + format(" brings the events in %s..%s past %lu", window.first.iso().c_str(),
                             window.last.iso().c_str(),
                             static_cast<unsigned long>(limits.maxEvents));
    }
    return "";
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Why the BEGIN and END lines do not nest, or "": libical would warn on stderr and guess.
std::string nestingProblem(std::string_view text) {
    constexpr std::string_view kBegin = "BEGIN:";
    constexpr std::string_view kEnd = "END:";
    constexpr size_t kMaxDepth = 8;  // a calendar nests three deep (VCALENDAR, VEVENT, VALARM)
    std::vector<std::string> open;
    int number = 0;
    for (std::string_view line : splitLines(text)) {
        ++number;
        const std::string head = upper(line.substr(0, kBegin.size()));
        if (head == kBegin) {
            if (open.size() >= kMaxDepth)
                return format("nests deeper than %d at line %d", static_cast<int>(kMaxDepth),
                              number);
            open.push_back(upper(trimmed(line.substr(kBegin.size()))));
        } else if (head.substr(0, kEnd.size()) == kEnd) {
            const std::string name = upper(trimmed(line.substr(kEnd.size())));
            if (open.empty()) {
                return format("line %d ends %s, which was not begun", number, name.c_str());
            }
            if (open.back() != name) {
                return format("line %d ends %s while %s is still open", number, name.c_str(),
                              open.back().c_str());
            }
            open.pop_back();
        }
    }
    if (!open.empty()) return "is cut short: " + open.back() + " is never ended";
    return "";
}

// The calendars of the parse: the root itself, or each calendar of a file that holds several.
std::vector<icalcomponent*> calendarsOf(icalcomponent* root) {
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) return {root};
    std::vector<icalcomponent*> calendars;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
        calendars.push_back(c);
    }
    return calendars;
}

}  // namespace

CalendarReadResult readIcsText(std::string_view text, const std::string& fileName,
                               const CalendarWindow& window, const CalendarReadLimits& limits) {
    if (text.size() > limits.maxFileBytes) {
        return readFailure(fileName, format("is larger than %lu bytes",
                                            static_cast<unsigned long>(limits.maxFileBytes)));
    }
    if (const std::string problem = windowProblem(window); !problem.empty()) {
        return readFailure(fileName, problem);
    }
    text = withoutBom(text);
    if (const std::string problem = binaryProblem(text); !problem.empty()) {
        return readFailure(fileName, problem);
    }
    const std::string_view body = trimmed(text);
    if (body.size() < kIcsEnd.size() || body.substr(body.size() - kIcsEnd.size()) != kIcsEnd) {
        return readFailure(fileName, "is cut short: it does not end with END:VCALENDAR");
    }

    if (const std::string problem = nestingProblem(text); !problem.empty()) {
        return readFailure(fileName, problem);
    }

    // A bad line must become an error we report, never an abort inside the library.
    icalerror_set_errors_are_fatal(0);
    const std::string copy(text);
    ComponentPtr root(icalparser_parse_string(copy.c_str()));
    icalerror_clear_errno();
    if (!root) return readFailure(fileName, "is not an iCalendar text libical can read");

    CalendarReadResult result;
    size_t records = 0;
    for (icalcomponent* calendar : calendarsOf(root.get())) {
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event; event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            if (++records > limits.maxRecords) {
                return readFailure(fileName, format("has more than %lu events",
                                                    static_cast<unsigned long>(limits.maxRecords)));
            }
            const std::string problem =
                readEvent(event, static_cast<int>(records), window, limits, result.events);
            if (!problem.empty()) return readFailure(fileName, problem);
        }
    }
    if (records == 0) return readFailure(fileName, "holds no events (VEVENT)");
    sortEvents(result.events);
    return result;
}

}  // namespace quirn
