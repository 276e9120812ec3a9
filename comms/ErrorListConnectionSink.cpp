#include "comms/ErrorListConnectionSink.h"

#include "ops/ErrorList.h"

namespace quirn {

void ErrorListConnectionSink::addIpConnectError(const std::string& address, const std::string&) {
    errors_.recordIpConnectFailure(address);
}

void ErrorListConnectionSink::clearIpConnectErrors(const std::string& address) {
    errors_.recordIpAnswered(address);
}

}  // namespace quirn
