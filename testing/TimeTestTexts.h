#pragma once

namespace quirn::time_test_text {

// The window and its controls.
inline constexpr const char* kTitle = "Advanced Time Testing";
inline constexpr const char* kMasterGroupItem = "MG %d";
inline constexpr const char* kAllGroups = "All Groups";
inline constexpr const char* kGroupItem = "Group %d";
inline constexpr const char* kAllLocations = "All Locations";
inline constexpr const char* kLocationItem = "Location %d";
inline constexpr const char* kPickerItem = "%02d";

inline constexpr const char* kSendTimeButton = "Send Time ";
inline constexpr const char* kManualOnButton = "Manual ON";
inline constexpr const char* kManualOffButton = "Manual OFF";
inline constexpr const char* kPreset159Button = "Preset 1:59 AM";
inline constexpr const char* kPreset259Button = "Preset 2:59 AM";
inline constexpr const char* kPreset1159Button = "Preset 11:59 PM";
inline constexpr const char* kDateFlipButton = "Date Flip";
inline constexpr const char* kStep16Button = "Step 16";
inline constexpr const char* kAp36Button = "AP36";
inline constexpr const char* kDwpButton = "DWP";
inline constexpr const char* kStep2460Button = "Step 2460";
inline constexpr const char* kDstButton = "DST";
inline constexpr const char* kTestAllButton = "Test ALL";
inline constexpr const char* kCancelButton = "Cancel";
inline constexpr const char* kSaveLinesButton = "Save Lines";
inline constexpr const char* kRestoreButton = "Restore programming";

// Every line of the list starts with the time it was added.
inline constexpr const char* kLinePrefixFormat = "%A, %B %d, %Y, %H:%M.%S: ";

// Lines of the window's own actions.
inline constexpr const char* kOpened = "Opened Dialog.  No testing started.";
inline constexpr const char* kExited = "Testing Dialog exited.";
inline constexpr const char* kSentTime = "Send data to clock.";
inline constexpr const char* kManualOn = "Manual ON command.";
inline constexpr const char* kManualOff = "Manual OFF command.";

}  // namespace quirn::time_test_text
