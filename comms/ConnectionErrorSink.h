#pragma once
#include <string>

namespace quirn {

// Where the IP links report connection failures: the error list, which turns them into
// ErrorIPConnect records. Kept narrow so the links do not depend on the error list itself.
class ConnectionErrorSink {
  public:
    virtual ~ConnectionErrorSink() = default;
    // A connect to `address` failed; `text` is the record's message.
    virtual void addIpConnectError(const std::string& address, const std::string& text) = 0;
    // A connect to `address` succeeded: its connection error records are cleared.
    virtual void clearIpConnectErrors(const std::string& address) = 0;
};

// The message of a connection error record for an address.
std::string ipConnectErrorText(const std::string& address);

}  // namespace quirn
