#include "schoolyear/CalendarMapping.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "plans/PlanTypes.h"
#include "platform/Format.h"
#include "platform/TextLines.h"
#include "schoolyear/CalendarReadSupport.h"

namespace quirn {

namespace {

constexpr char kRuleMark = '=';
constexpr char kCommentMark = '#';

std::string lowered(std::string_view text) {
    std::string out(trimmed(text));
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The words that name each fixed action; a day plan is "day plan N" (or "dayplan N", "plan N").
struct ActionWord {
    const char* word;
    CalendarActionKind kind;
};
constexpr ActionWord kActionWords[] = {
    {"holiday", CalendarActionKind::Holiday},
    {"vacation", CalendarActionKind::Vacation},
    {"ignore", CalendarActionKind::Ignore},
};
constexpr const char* kDayPlanWords[] = {"day plan", "dayplan", "plan"};

// Words of district summaries and what they usually mean. Early release and late start are
// not here: which day plan runs them is the technician's to say.
struct SuggestionWord {
    const char* word;
    CalendarActionKind kind;
};
constexpr SuggestionWord kSuggestionWords[] = {
    {"break", CalendarActionKind::Vacation},    {"recess", CalendarActionKind::Vacation},
    {"vacation", CalendarActionKind::Vacation}, {"holiday", CalendarActionKind::Holiday},
    {"no school", CalendarActionKind::Holiday}, {"closed", CalendarActionKind::Holiday},
    {"day off", CalendarActionKind::Holiday},
};

std::optional<int> dayPlanNumber(std::string_view digits) {
    digits = trimmed(digits);
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < kPlanNormal || value > kMaxUserDayPlan) return std::nullopt;
    return value;
}

}  // namespace

std::string actionText(const CalendarAction& action) {
    switch (action.kind) {
        case CalendarActionKind::Holiday:
            return "Holiday";
        case CalendarActionKind::Vacation:
            return "Vacation";
        case CalendarActionKind::DayPlan:
            return format("Day plan %d", action.dayPlan);
        case CalendarActionKind::Ignore:
            break;
    }
    return "Ignore";
}

std::optional<CalendarAction> parseAction(std::string_view text) {
    const std::string lower = lowered(text);
    for (const auto& w : kActionWords) {
        if (lower == w.word) return CalendarAction{w.kind, 0};
    }
    for (const char* word : kDayPlanWords) {
        const std::string_view prefix(word);
        if (lower.compare(0, prefix.size(), prefix) != 0) continue;
        if (const auto number = dayPlanNumber(std::string_view(lower).substr(prefix.size()))) {
            return CalendarAction{CalendarActionKind::DayPlan, *number};
        }
    }
    return std::nullopt;
}

void CalendarMapping::set(const std::string& key, const CalendarAction& action) {
    const std::string lower = lowered(key);
    for (auto& rule : rules_) {
        if (lowered(rule.key) == lower) {
            rule.action = action;
            return;
        }
    }
    rules_.push_back({std::string(trimmed(key)), action});
}

std::optional<CalendarAction> CalendarMapping::actionFor(const CalendarEvent& event) const {
    const std::string summary = lowered(event.summary);
    for (const auto& rule : rules_) {
        if (lowered(rule.key) == summary) return rule.action;
    }
    for (const auto& category : event.categories) {
        const std::string lower = lowered(category);
        for (const auto& rule : rules_) {
            if (lowered(rule.key) == lower) return rule.action;
        }
    }
    return std::nullopt;
}

CalendarMappingParse parseCalendarMapping(std::string_view text, const std::string& fileName) {
    CalendarMappingParse result;
    const std::vector<std::string_view> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.empty() || line.front() == kCommentMark) continue;
        const size_t mark = line.rfind(kRuleMark);
        const std::string_view key =
            mark == std::string_view::npos ? std::string_view{} : trimmed(line.substr(0, mark));
        const auto action =
            mark == std::string_view::npos ? std::nullopt : parseAction(line.substr(mark + 1));
        if (key.empty() || !action) {
            result.error = fileName + format(": line %d is not a rule ", static_cast<int>(i + 1)) +
                           "(KEY = Holiday | Vacation | Day plan N | Ignore): " + std::string(line);
            result.mapping = CalendarMapping();
            return result;
        }
        result.mapping.set(std::string(key), *action);
    }
    return result;
}

std::string calendarMappingText(const CalendarMapping& mapping) {
    std::string out;
    for (const auto& rule : mapping.rules()) {
        out += rule.key + " = " + actionText(rule.action) + "\r\n";
    }
    return out;
}

std::optional<CalendarAction> suggestAction(const CalendarEvent& event) {
    std::vector<std::string> texts{lowered(event.summary)};
    for (const auto& category : event.categories) texts.push_back(lowered(category));
    for (const auto& w : kSuggestionWords) {
        for (const auto& t : texts) {
            if (t.find(w.word) != std::string::npos) return CalendarAction{w.kind, 0};
        }
    }
    return std::nullopt;
}

std::vector<CalendarEvent> unmappedEvents(const std::vector<CalendarEvent>& events,
                                          const CalendarMapping& mapping) {
    std::vector<CalendarEvent> unmapped;
    std::set<std::string> seen;
    for (const auto& event : events) {
        if (mapping.actionFor(event)) continue;
        if (!seen.insert(lowered(event.summary)).second) continue;
        unmapped.push_back(event);
    }
    return unmapped;
}

}  // namespace quirn
