#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace quirn {

// A Message-ID for a mail written at `written` by `senderAddress`: "<time.random@domain>",
// the domain taken from the sender's address, else this computer's host name. 64 random bits
// keep two mails of the same second apart, also across restarts and stations.
std::string makeMessageId(std::string_view senderAddress, std::time_t written);

// The domain a Message-ID names: the part of the address after its last '@', else the host
// name; characters a Message-ID cannot carry are left out ("localhost" when none remain).
std::string messageIdDomain(std::string_view senderAddress);

}  // namespace quirn
