#pragma once
#include <windows.h>

namespace quirn::activex {

// The control's modal about box, "About VornCalendarIII Control", over `owner` (may be null).
void showAboutBox(HWND owner);

}  // namespace quirn::activex
