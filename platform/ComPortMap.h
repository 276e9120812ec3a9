#pragma once
#include <string>

namespace quirn {

class ProfileStore;

// Maps the COM numbers the station is configured with to device paths of this computer. An
// entry "COM<n>=<path>" in the profile store's "Serial" section names the device; without one
// COM n is "\\.\COM<n>" on Windows and "/dev/ttyS<n-1>" elsewhere.
class ComPortMap {
  public:
    explicit ComPortMap(const ProfileStore* store = nullptr) : store_(store) {}
    // Empty for COM numbers below 1.
    std::string devicePath(int comNumber) const;
    // Names the device of COM `comNumber` (1 and up) in the store; false when it could not be
    // stored.
    static bool storeDevicePath(ProfileStore& store, int comNumber, const std::string& path);

  private:
    const ProfileStore* store_;
};

inline constexpr const char* kSerialSection = "Serial";

}  // namespace quirn
