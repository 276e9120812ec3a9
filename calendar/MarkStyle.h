#pragma once
#include <cstdint>
#include <string>

#include "calendar/DisplayState.h"

namespace quirn::calendar {

// Plan codes the control interprets; any other code is a day-plan number shown as it is.
inline constexpr int kHolidayCode = 100;
inline constexpr int kVacationStartCode = 101;
inline constexpr int kVacationEndCode = 102;
inline constexpr int kPickedDayCode = -1;  // picked but not yet programmed: circled, no text

// How a mark's frame is drawn around its cell.
enum class MarkFrame { Ellipse, Rectangle, OpeningBracket, ClosingBracket };

// The text that replaces the day number: "H", "V", the code in decimal, or "" for a picked day.
std::string planCodeText(std::int16_t code);
MarkFrame markFrame(std::int16_t code);
// Whether a mark with this code is inverted. A picked day (-1) never is: only its circle marks
// it. Vacation ends follow plan 101.
bool isHighlighted(std::int16_t code, const DisplayState& state);

}  // namespace quirn::calendar
