#include "calendar/MarkStyle.h"

namespace quirn::calendar {

std::string planCodeText(std::int16_t code) {
    switch (code) {
        case kHolidayCode:
            return "H";
        case kVacationStartCode:
        case kVacationEndCode:
            return "V";
        case kPickedDayCode:
            return "";
        default:
            return std::to_string(code);
    }
}

MarkFrame markFrame(std::int16_t code) {
    switch (code) {
        case kPickedDayCode:
            return MarkFrame::Ellipse;
        case kVacationStartCode:
            return MarkFrame::OpeningBracket;
        case kVacationEndCode:
            return MarkFrame::ClosingBracket;
        default:
            return MarkFrame::Rectangle;
    }
}

bool isHighlighted(std::int16_t code, const DisplayState& state) {
    if (code == kPickedDayCode) return false;
    if (state.highlightAll) return true;
    if (code == kVacationStartCode || code == kVacationEndCode)
        return state.activePlan == kVacationStartCode;
    return code == state.activePlan;
}

}  // namespace quirn::calendar
