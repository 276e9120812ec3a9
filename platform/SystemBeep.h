#pragma once

namespace quirn {

// Sounds the operating system's own alert, the "default beep" the user chose in the system's
// sound settings (Windows). False, sounding nothing, where the system offers no such sound to a
// program apart from its window system (POSIX): the caller then rings the window toolkit's bell.
bool systemBeep();

}  // namespace quirn
