#pragma once
#ifdef _WIN32
#include <string>
#include <vector>

namespace quirn::win32 {

// The names of every MS-DOS device the system knows ("COM1", "LPT1", "C:", ...); empty when
// the system does not say.
std::vector<std::string> dosDeviceNames();

}  // namespace quirn::win32
#endif
