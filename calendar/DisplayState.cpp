#include "calendar/DisplayState.h"

namespace quirn::calendar {

void applyActivePlan(DisplayState& state, int planNumber) {
    if (planNumber > 0)
        state.activePlan = planNumber;
    else if (planNumber == kHighlightAllOn)
        state.highlightAll = true;
    else if (planNumber == kHighlightAllOff)
        state.highlightAll = false;
}

}  // namespace quirn::calendar
