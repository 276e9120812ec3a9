#include "sim/PtyTransport.h"

namespace quirn::sim {

namespace {

constexpr size_t kReadChunk = 4096;
constexpr int kMaxReadsPerStep = 16;

}  // namespace

PtyTransport::PtyTransport(PseudoTerminal& pty, SimulatedTimeSwitch& device, const Clock& host,
                           LogSink log)
    : pty_(pty),
      device_(device),
      host_(host),
      log_(std::move(log)),
      pacer_(device.faults().slowBytesMs) {}

bool PtyTransport::step() {
    unsigned char buffer[kReadChunk];
    for (int i = 0; i < kMaxReadsPerStep; ++i) {
        long n = pty_.read(buffer, sizeof buffer);
        if (n < 0) return false;
        if (n == 0) break;
        std::string bytes(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
        int stationRate = pty_.deviceBaud();
        if (stationRate != 0 && stationRate != device_.lineRate()) {
            if (log_)
                log_(device_.label() + " rx " + printableBytes(bytes) + " : lost, station at " +
                     std::to_string(stationRate) + " baud, switch at " +
                     std::to_string(device_.lineRate()));
            continue;
        }
        pacer_.add(device_.receive(bytes), host_.nowMs());
    }
    device_.tick();
    std::string due = pacer_.due(host_.nowMs());
    if (!due.empty()) {
        long sent = pty_.write(reinterpret_cast<const unsigned char*>(due.data()), due.size());
        if (sent < 0) return false;
        if (static_cast<size_t>(sent) < due.size())
            pacer_.putBack(std::string_view(due).substr(static_cast<size_t>(sent)));
    }
    return true;
}

}  // namespace quirn::sim
