#pragma once
#include <string>
#include <vector>

namespace quirn {

// The device folder of this platform's serial devices. On Windows a COM port opens as
// "\\.\COM<n>" whatever its number, so the folder is the device namespace itself.
#ifdef _WIN32
inline constexpr const char* kDeviceFolder = "\\\\.\\";
#else
inline constexpr const char* kDeviceFolder = "/dev/";
#endif

// Serial devices present on this computer, in the order a technician looks for them: the
// stable names under "serial/by-id/" first (an adapter keeps its name whichever socket it is
// in), then the kernel's ttyS, ttyUSB and ttyACM devices, each family in number order.
// `deviceFolder` ends in a slash; a folder that is missing or unreadable gives no devices.
// On Windows, kDeviceFolder gives the COM ports the system knows (see comPortDevices).
std::vector<std::string> presentSerialDevices(const std::string& deviceFolder = kDeviceFolder);

// True when the device `path` is there to be opened: a device file (a pseudo-terminal,
// /dev/ttyS0), a COM port among `presentDevices`, or on Windows a named pipe that a program
// serves (looked at without taking it from the program that has it open).
bool serialDevicePresent(const std::string& path, const std::vector<std::string>& presentDevices);

// The COM ports among Windows device names ("COM3", "LPT1", "com10", "COM3"): "\\.\COM<n>"
// for each port, in number order and once each.
std::vector<std::string> comPortDevices(const std::vector<std::string>& deviceNames);

}  // namespace quirn
