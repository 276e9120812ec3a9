#include "platform/SerialDeviceList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/FileSystem.h"

#ifdef _WIN32
#include "platform/Win32DosDevices.h"
#include "platform/Win32PipeNames.h"
#endif

namespace quirn {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kKernelFamilies = {"ttyS", "ttyUSB", "ttyACM"};
constexpr const char* kById = "serial/by-id/";

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    return names;
}

// "ttyS10" after "ttyS9": the number after the family name, -1 when the name is not one of
// the family's devices.
long familyNumber(const std::string& name, const std::string& family) {
    if (name.size() <= family.size() || name.compare(0, family.size(), family) != 0) return -1;
    long number = 0;
    for (std::size_t i = family.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        // No port has a number this long; stopping here keeps the sum from overflowing.
        if (number > 99999999) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

}  // namespace

std::vector<std::string> presentSerialDevices(const std::string& deviceFolder) {
#ifdef _WIN32
    if (deviceFolder == kDeviceFolder) return comPortDevices(win32::dosDeviceNames());
#endif
    std::vector<std::string> devices;
    std::vector<std::string> byId = namesIn(deviceFolder + kById);
    std::sort(byId.begin(), byId.end());
    for (const std::string& name : byId) devices.push_back(deviceFolder + kById + name);

    const std::vector<std::string> all = namesIn(deviceFolder);
    for (const std::string family : kKernelFamilies) {
        std::vector<std::pair<long, std::string>> members;
        for (const std::string& name : all)
            if (long n = familyNumber(name, family); n >= 0) members.emplace_back(n, name);
        std::sort(members.begin(), members.end());
        for (const auto& member : members) devices.push_back(deviceFolder + member.second);
    }
    return devices;
}

bool serialDevicePresent(const std::string& path, const std::vector<std::string>& presentDevices) {
    if (std::find(presentDevices.begin(), presentDevices.end(), path) != presentDevices.end())
        return true;
#ifdef _WIN32
    if (win32::isPipePath(path)) return win32::pipeServed(path);
#endif
    return pathExists(path);
}

std::vector<std::string> comPortDevices(const std::vector<std::string>& deviceNames) {
    std::vector<long> numbers;
    for (const std::string& name : deviceNames) {
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // "COM01" is not a port's name, and no port has a number of more than three digits.
        if (upper.size() > 6 || (upper.size() > 3 && upper[3] == '0')) continue;
        if (long n = familyNumber(upper, "COM"); n > 0) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<std::string> devices;
    for (long n : numbers) devices.push_back("\\\\.\\COM" + std::to_string(n));
    return devices;
}

}  // namespace quirn
