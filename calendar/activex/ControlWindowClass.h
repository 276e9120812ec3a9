#pragma once
#include <windows.h>

namespace quirn::activex {

inline constexpr const wchar_t* kControlWindowClass = L"VornCalendarIIIWindow";

// Registers the control windows' class in the module once; true when it is there.
bool registerControlWindowClass(HINSTANCE instance, WNDPROC procedure);
// Takes it away again when the module is unloaded (its procedure goes with the module).
void unregisterControlWindowClass(HINSTANCE instance);

}  // namespace quirn::activex
