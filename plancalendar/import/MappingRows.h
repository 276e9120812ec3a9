#pragma once
#include <optional>
#include <string>
#include <vector>

#include "schoolyear/CalendarEvent.h"
#include "schoolyear/CalendarMapping.h"

namespace quirn::plancalendar {

// One distinct summary of a school calendar, as the technician maps it: how many events carry
// it, the first day one of them falls on, and what its words suggest (never applied unconfirmed).
struct MappingRow {
    std::string summary;
    int events = 0;
    CalendarDate firstDay;
    std::optional<CalendarAction> suggestion;
};

// Each summary once (compared as the mapping compares keys: without case and surrounding
// blanks), in the order of its first event.
std::vector<MappingRow> mappingRows(const std::vector<CalendarEvent>& events);

// The key a summary is compared by.
std::string mappingKey(const std::string& summary);

}  // namespace quirn::plancalendar
