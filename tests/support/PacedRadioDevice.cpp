#include "tests/support/PacedRadioDevice.h"

#include <algorithm>

namespace quirn::test {

std::size_t PacedRadioDevice::queued() const {
    const long long left = airEndMs_ - clock_.nowMs();
    if (left <= 0) return 0;
    return static_cast<std::size_t>(left * static_cast<long long>(bytesPerSecond_) / 1000);
}

long PacedRadioDevice::write(const unsigned char* bytes, std::size_t count) {
    if (!open_) return -1;
    const std::size_t room = kQueueBytes - std::min(kQueueBytes, queued());
    const std::size_t take = std::min(count, room);
    if (take == 0) return 0;
    const long long now = clock_.nowMs();
    if (firstMs_ < 0) {
        firstMs_ = now;
        airEndMs_ = now;
    } else if (airEndMs_ < now) {
        idleMs_ += now - airEndMs_;
        airEndMs_ = now;
    }
    airEndMs_ += msFor(take);
    taken_ += take;
    bytes_.append(reinterpret_cast<const char*>(bytes), take);
    return static_cast<long>(take);
}

}  // namespace quirn::test
