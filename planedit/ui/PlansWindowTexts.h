#pragma once

// The words of the plans window, in one place.
namespace quirn::plans_text {

inline constexpr const char* kTitle = "Plans";
inline constexpr const char* kGroupsTab = "Groups and locations";
inline constexpr const char* kDayPlansTab = "Day plans";
inline constexpr const char* kWeeksTab = "Weeks";
inline constexpr const char* kOverrideTab = "Today's override";
inline constexpr const char* kSummerTab = "Summer plans";
inline constexpr const char* kCalendarTab = "Calendar";

inline constexpr const char* kAddGroup = "Add group";
inline constexpr const char* kAddLocation = "Add location";
inline constexpr const char* kRemove = "Remove";
inline constexpr const char* kCopyProgramming = "Copy programming to\u2026";
inline constexpr const char* kUndo = "Undo";
inline constexpr const char* kSave = "Save";
inline constexpr const char* kClose = "Close";
inline constexpr const char* kSendProgramming = "Send programming\u2026";

inline constexpr const char* kAskSaveOnClose =
    "The plans were changed and not saved.  Save them now?";
inline constexpr const char* kSaved = "Saved.";
inline constexpr const char* kNothingToUndo = "Nothing to undo.";
inline constexpr const char* kPickAGroup = "Pick a group in the tree on the left.";

}  // namespace quirn::plans_text
