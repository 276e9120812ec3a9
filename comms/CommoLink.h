#pragma once
#include <string>

#include "plans/PlanTypes.h"

namespace quirn {

// One way of reaching time switches: the serial radio port or an IP table entry. The
// handler and the windows see every link through this narrow face.
class CommoLink {
  public:
    virtual ~CommoLink() = default;
    const std::string& address() const { return address_; }
    // Sending, or about to send.
    virtual bool isWriting() const = 0;
    // Collecting a reply, or about to.
    virtual bool isReading() const = 0;
    // One line for the status display.
    virtual std::string statusText() const { return "Building"; }

  protected:
    CommoLink() = default;
    explicit CommoLink(std::string address) : address_(std::move(address)) {}
    void setLinkAddress(std::string address) { address_ = std::move(address); }

  private:
    std::string address_ = kRadioAddress;
};

}  // namespace quirn
