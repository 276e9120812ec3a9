#include "platform/PseudoTerminal.h"

namespace quirn {

namespace {

// Windows has no pseudo-terminals: a program that would play a serial device here uses TCP
// instead. Every open fails and says why.
class Win32PseudoTerminal final : public PseudoTerminal {
  public:
    bool open(int) override {
        error_ = "pseudo-terminals are not available on Windows";
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    const std::string& devicePath() const override { return path_; }
    long read(unsigned char*, std::size_t) override { return -1; }
    long write(const unsigned char*, std::size_t) override { return -1; }
    bool waitReadable(int) override { return false; }
    int deviceBaud() const override { return 0; }
    const std::string& errorText() const override { return error_; }

  private:
    std::string path_;
    std::string error_;
};

}  // namespace

std::unique_ptr<PseudoTerminal> createPseudoTerminal() {
    return std::make_unique<Win32PseudoTerminal>();
}

}  // namespace quirn
