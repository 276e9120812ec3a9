#pragma once
#include <memory>
#include <string>

#include "platform/PseudoTerminal.h"
#include "platform/SerialDevice.h"

namespace quirn::test {

// The station's real serial device, counting what goes through it, so that the test loop knows
// how many bytes the far end still has to see.
class CountingSerialDevice final : public SerialDevice {
  public:
    CountingSerialDevice() : device_(createSerialDevice()) {}
    bool open(const std::string& path, int baud) override { return device_->open(path, baud); }
    void close() override { device_->close(); }
    bool isOpen() const override { return device_->isOpen(); }
    long waiting() override { return device_->waiting(); }
    long read(unsigned char* buffer, std::size_t capacity) override {
        return device_->read(buffer, capacity);
    }
    long write(const unsigned char* bytes, std::size_t count) override {
        long n = device_->write(bytes, count);
        if (n > 0) written_ += n;
        return n;
    }
    bool discardInput() override { return device_->discardInput(); }
    int currentBaud() const override { return device_->currentBaud(); }
    const std::string& errorText() const override { return device_->errorText(); }
    long long written() const { return written_; }

  private:
    std::unique_ptr<SerialDevice> device_;
    long long written_ = 0;
};

// The simulator's side of the pseudo-terminal, counting the bytes it takes and gives.
class CountingPseudoTerminal final : public PseudoTerminal {
  public:
    CountingPseudoTerminal() : pty_(createPseudoTerminal()) {}
    bool open(int baud) override { return pty_->open(baud); }
    void close() override { pty_->close(); }
    bool isOpen() const override { return pty_->isOpen(); }
    const std::string& devicePath() const override { return pty_->devicePath(); }
    long read(unsigned char* buffer, std::size_t capacity) override {
        long n = pty_->read(buffer, capacity);
        if (n > 0) read_ += n;
        return n;
    }
    long write(const unsigned char* bytes, std::size_t count) override {
        long n = pty_->write(bytes, count);
        if (n > 0) written_ += n;
        return n;
    }
    bool waitReadable(int timeoutMs) override { return pty_->waitReadable(timeoutMs); }
    int deviceBaud() const override { return pty_->deviceBaud(); }
    const std::string& errorText() const override { return pty_->errorText(); }
    long long bytesRead() const { return read_; }
    long long bytesWritten() const { return written_; }

  private:
    std::unique_ptr<PseudoTerminal> pty_;
    long long read_ = 0;
    long long written_ = 0;
};

}  // namespace quirn::test
