#pragma once
#include <string>

#include "comms/ConnectionErrorSink.h"

namespace quirn::ctl {

// No IP entry connects during a loader job; a failure would only be logged by the handler.
class IgnoredConnectionErrors final : public ConnectionErrorSink {
  public:
    void addIpConnectError(const std::string&, const std::string&) override {}
    void clearIpConnectErrors(const std::string&) override {}
};

}  // namespace quirn::ctl
