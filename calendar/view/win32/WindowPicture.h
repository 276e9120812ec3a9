#pragma once
#include <windows.h>

#include <optional>

#include "calendar/view/Picture.h"

namespace quirn::vorncal {

// What the window's client area shows on the screen now (after it has painted).
std::optional<Picture> windowPicture(HWND window);

}  // namespace quirn::vorncal
