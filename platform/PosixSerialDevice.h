#pragma once
#include <string>

#include "platform/SerialDevice.h"

namespace quirn {

// SerialDevice on a POSIX terminal device (termios): non-blocking descriptor, TIOCEXCL for
// exclusive use, FIONREAD for the bytes waiting and poll() to notice a hang-up.
class PosixSerialDevice final : public SerialDevice {
  public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool open(const std::string& path, int baud) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    long waiting() override;
    long read(unsigned char* buffer, std::size_t capacity) override;
    long write(const unsigned char* bytes, std::size_t count) override;
    bool discardInput() override;
    int currentBaud() const override;
    const std::string& errorText() const override { return errorText_; }

  private:
    bool fail(const char* what);
    int fd_ = -1;
    std::string errorText_;
};

}  // namespace quirn
