#pragma once

namespace quirn::calendar {

// Which marks are shown inverted. Every control of a module shares one copy, which the module
// object owns (the control was designed so: choosing a plan in one calendar highlights it in
// all of them).
struct DisplayState {
    int activePlan = 0;         // plan code whose marks are inverted
    bool highlightAll = false;  // every marked cell inverted
};

// SetActivePlan's argument: above 0 it becomes the active plan; these two switch the
// highlight-all flag; any other value changes nothing.
inline constexpr int kHighlightAllOn = -2;
inline constexpr int kHighlightAllOff = -3;

void applyActivePlan(DisplayState& state, int planNumber);

}  // namespace quirn::calendar
