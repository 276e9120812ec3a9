#pragma once
#include "comms/ConnectionErrorSink.h"

namespace quirn {

class ErrorList;

// Connection failures of the IP links as ErrorIPConnect records of the station's error list.
class ErrorListConnectionSink final : public ConnectionErrorSink {
  public:
    explicit ErrorListConnectionSink(ErrorList& errors) : errors_(errors) {}
    // The error list words the record itself from the address.
    void addIpConnectError(const std::string& address, const std::string& text) override;
    void clearIpConnectErrors(const std::string& address) override;

  private:
    ErrorList& errors_;
};

}  // namespace quirn
