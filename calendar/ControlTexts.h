#pragma once

// The texts of the control's about box and property page, the same in both builds.
inline constexpr const char* kAboutCaption = "About VornCalendarIII Control";
inline constexpr const char* kAboutText = "VornCalendarIII Control, Version 1.0";
inline constexpr const char* kPropPageCaption = "General";
inline constexpr const char* kPropPagePlaceholder =
    "VornCalendarIII Control has no properties to set.";
