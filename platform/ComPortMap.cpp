#include "platform/ComPortMap.h"

#include "platform/ProfileStore.h"

namespace quirn {

std::string ComPortMap::devicePath(int comNumber) const {
    if (comNumber < 1) return {};
    std::string number = std::to_string(comNumber);
#ifdef _WIN32
    std::string fallback = "\\\\.\\COM" + number;
#else
    std::string fallback = "/dev/ttyS" + std::to_string(comNumber - 1);
#endif
    if (!store_) return fallback;
    return store_->getString(kSerialSection, "COM" + number, fallback);
}

bool ComPortMap::storeDevicePath(ProfileStore& store, int comNumber, const std::string& path) {
    if (comNumber < 1 || path.empty()) return false;
    return store.writeString(kSerialSection, "COM" + std::to_string(comNumber), path);
}

}  // namespace quirn
