#pragma once
#include <string>
#include <vector>

namespace quirn {

// The device folder of this platform's serial devices.
inline constexpr const char* kDeviceFolder = "/dev/";

// Serial devices present on this computer, in the order a technician looks for them: the
// stable names under "serial/by-id/" first (an adapter keeps its name whichever socket it is
// in), then the kernel's ttyS, ttyUSB and ttyACM devices, each family in number order.
// `deviceFolder` ends in a slash; a folder that is missing or unreadable gives no devices.
std::vector<std::string> presentSerialDevices(const std::string& deviceFolder = kDeviceFolder);

}  // namespace quirn
