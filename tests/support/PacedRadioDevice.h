#pragma once
#include <cstddef>
#include <string>

#include "platform/Clock.h"
#include "platform/SerialDevice.h"

namespace quirn::test {

// A radio transmitter behind a serial driver, on the station's clock: the driver's output queue
// holds kQueueBytes, and the transmitter puts them on the air at bytesPerSecond, one after the
// other. It records when the first byte went on the air, when the last one will be off it, and
// the bytes' count, so that a send's air time can be set against the bytes' own. Nothing is
// ever read back.
class PacedRadioDevice final : public SerialDevice {
  public:
    static constexpr std::size_t kQueueBytes = 4096;

    PacedRadioDevice(const Clock& clock, std::size_t bytesPerSecond)
        : clock_(clock), bytesPerSecond_(bytesPerSecond) {}

    bool open(const std::string&, int baud) override {
        if (pulled_) return false;
        open_ = true;
        baud_ = baud;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    long waiting() override { return open_ ? 0 : -1; }
    long read(unsigned char*, std::size_t) override { return open_ ? 0 : -1; }
    long write(const unsigned char* bytes, std::size_t count) override;
    bool discardInput() override { return open_; }
    int currentBaud() const override { return open_ ? baud_ : 0; }
    const std::string& errorText() const override { return error_; }

    // The adapter is pulled: the device fails and cannot be opened again.
    void pull() {
        pulled_ = true;
        open_ = false;
    }

    std::size_t bytesTaken() const { return taken_; }
    // Every byte taken, in order.
    const std::string& bytes() const { return bytes_; }
    long long firstOnAirMs() const { return firstMs_; }
    // When the transmitter is done with everything taken so far.
    long long lastOffAirMs() const { return airEndMs_; }
    // Time the transmitter stood idle between the first byte and the last.
    long long idleMs() const { return idleMs_; }
    // Bytes in the driver's queue now.
    std::size_t queued() const;

  private:
    long long msFor(std::size_t bytes) const {
        return static_cast<long long>(bytes) * 1000 / static_cast<long long>(bytesPerSecond_);
    }

    const Clock& clock_;
    std::size_t bytesPerSecond_;
    bool open_ = false;
    bool pulled_ = false;
    int baud_ = 0;
    std::string error_;
    std::string bytes_;
    std::size_t taken_ = 0;
    long long firstMs_ = -1;
    long long airEndMs_ = 0;
    long long idleMs_ = 0;
};

}  // namespace quirn::test
