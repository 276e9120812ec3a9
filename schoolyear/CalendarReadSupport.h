#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "schoolyear/CalendarEvent.h"

namespace quirn {

// Helpers the calendar readers share.

// The UTF-8 byte-order mark, which spreadsheet programs and some calendar servers put first.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view withoutBom(std::string_view text);

// Why the text cannot be a calendar (a NUL byte or bytes that are not UTF-8), or "".
std::string binaryProblem(std::string_view text);

// Whether the event reaches into the window.
bool overlapsWindow(const CalendarEvent& event, const CalendarWindow& window);

// Sorts by first day, then last day, then summary, so every reader gives one order.
void sortEvents(std::vector<CalendarEvent>& events);

// Why the window cannot bound a read (backwards, too wide, not real dates), or "".
std::string windowProblem(const CalendarWindow& window);

// A read that failed: "FILE: PROBLEM", no events.
CalendarReadResult readFailure(const std::string& fileName, const std::string& problem);

// Blanks trimmed from both ends.
std::string_view trimmed(std::string_view text);

}  // namespace quirn
