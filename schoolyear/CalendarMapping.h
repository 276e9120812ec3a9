#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schoolyear/CalendarEvent.h"

namespace quirn {

// What an event of a school calendar does to a group's programming.
enum class CalendarActionKind {
    Holiday,   // plan 100 (annual plan) on each day
    Vacation,  // one vacation plan over the range
    DayPlan,   // annual plan with a day plan number on each day (early release, late start)
    Ignore,    // nothing
};

struct CalendarAction {
    CalendarActionKind kind = CalendarActionKind::Ignore;
    int dayPlan = 0;  // the day plan number for DayPlan

    bool operator==(const CalendarAction&) const = default;
};

// "Holiday", "Vacation", "Day plan 3", "Ignore".
std::string actionText(const CalendarAction& action);
// The reverse of actionText, case-insensitive, blanks trimmed ("day plan 3", "dayplan 3" and
// "plan 3" too); nothing for other text or a day plan number outside 1..19.
std::optional<CalendarAction> parseAction(std::string_view text);

// One rule: events whose summary, or one of whose categories, equals the key (compared without
// case and surrounding blanks) get the action.
struct CalendarMappingRule {
    std::string key;
    CalendarAction action;
};

// The technician's decisions. A summary rule wins over a category rule; the first rule for a
// key wins.
class CalendarMapping {
  public:
    // Adds a rule; a later rule for the same key replaces the earlier one.
    void set(const std::string& key, const CalendarAction& action);
    const std::vector<CalendarMappingRule>& rules() const { return rules_; }
    // The action for an event, or nothing when no rule names its summary or a category.
    std::optional<CalendarAction> actionFor(const CalendarEvent& event) const;
    bool empty() const { return rules_.empty(); }

  private:
    std::vector<CalendarMappingRule> rules_;
};

// The mapping file: one rule per line, "KEY = ACTION" (ACTION as actionText writes it);
// '#' comment lines and blank lines ignored. The key is a summary or a category, may hold
// commas, and is everything before the last '='.
struct CalendarMappingParse {
    CalendarMapping mapping;
    std::string error;  // names the file and the line when a line is not a rule

    bool ok() const { return error.empty(); }
};
CalendarMappingParse parseCalendarMapping(std::string_view text, const std::string& fileName);
// The file text of a mapping, one rule per line, readable by parseCalendarMapping.
std::string calendarMappingText(const CalendarMapping& mapping);

// A suggestion from words a district's summaries commonly hold ("break", "recess" → Vacation;
// "holiday", "no school", "closed" → Holiday; "early release", "early dismissal", "half day",
// "late start" → nothing: the technician must name the day plan). Only ever shown for the
// technician to confirm; never applied without that.
std::optional<CalendarAction> suggestAction(const CalendarEvent& event);

// The events no rule maps, in order; each distinct summary once.
std::vector<CalendarEvent> unmappedEvents(const std::vector<CalendarEvent>& events,
                                          const CalendarMapping& mapping);

}  // namespace quirn
