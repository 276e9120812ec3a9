#pragma once

namespace quirn::calendar {

// Key-state flags of a mouse message, with the window system's values (NewFocusTime's `ctrl`).
inline constexpr int kKeyLeftButton = 0x0001;
inline constexpr int kKeyRightButton = 0x0002;
inline constexpr int kKeyShift = 0x0004;
inline constexpr int kKeyControl = 0x0008;
inline constexpr int kKeyMiddleButton = 0x0010;

}  // namespace quirn::calendar
