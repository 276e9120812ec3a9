#pragma once
#include <memory>
#include <string>

#include "platform/SerialDevice.h"

namespace quirn::ctl {

// The device named on the command line, whatever COM number the station's port asks for.
class FixedPathSerialDevice final : public SerialDevice {
  public:
    explicit FixedPathSerialDevice(std::string path)
        : path_(std::move(path)), device_(createSerialDevice()) {}
    bool open(const std::string&, int baud) override { return device_->open(path_, baud); }
    void close() override { device_->close(); }
    bool isOpen() const override { return device_->isOpen(); }
    long waiting() override { return device_->waiting(); }
    long read(unsigned char* buffer, std::size_t capacity) override {
        return device_->read(buffer, capacity);
    }
    long write(const unsigned char* bytes, std::size_t count) override {
        return device_->write(bytes, count);
    }
    bool discardInput() override { return device_->discardInput(); }
    int currentBaud() const override { return device_->currentBaud(); }
    const std::string& errorText() const override { return device_->errorText(); }

  private:
    std::string path_;
    std::unique_ptr<SerialDevice> device_;
};

}  // namespace quirn::ctl
