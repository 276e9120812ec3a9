#pragma once
#include "loader/LoaderPort.h"

namespace quirn {

class CommoHandler;

// The loader's port in the program: the radio port of the communications handler, written
// at once and read whole, as the direct loader and the baud change need it.
class CommoLoaderPort final : public LoaderPort {
  public:
    explicit CommoLoaderPort(CommoHandler& handler) : handler_(handler) {}

    bool open(int comNumber, int baud) override;
    bool reopen(int baud) override;
    bool writeNow(const std::string& bytes) override;
    std::size_t bytesWaiting() const override;
    std::size_t messagesGivenUp() const override;
    // Collects what the driver holds first, so a reply that arrived since the handler's last
    // tick is not left behind.
    std::string takeInput() override;
    bool isSetUp() const override;
    int comNumber() const override;
    int currentBaud() const override;

  private:
    CommoHandler& handler_;
};

}  // namespace quirn
