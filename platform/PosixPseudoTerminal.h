#pragma once
#include <string>

#include "platform/PseudoTerminal.h"

namespace quirn {

// PseudoTerminal on posix_openpt: the master is this side, the slave the device path; a slave
// descriptor is kept open (never read) to keep the pair alive and to see its line settings.
class PosixPseudoTerminal final : public PseudoTerminal {
  public:
    PosixPseudoTerminal() = default;
    ~PosixPseudoTerminal() override;
    PosixPseudoTerminal(const PosixPseudoTerminal&) = delete;
    PosixPseudoTerminal& operator=(const PosixPseudoTerminal&) = delete;

    bool open(int baud) override;
    void close() override;
    bool isOpen() const override { return master_ >= 0; }
    const std::string& devicePath() const override { return path_; }
    long read(unsigned char* buffer, std::size_t capacity) override;
    long write(const unsigned char* bytes, std::size_t count) override;
    bool waitReadable(int timeoutMs) override;
    int deviceBaud() const override;
    const std::string& errorText() const override { return errorText_; }

  private:
    bool fail(const char* what);
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::string errorText_;
};

}  // namespace quirn
