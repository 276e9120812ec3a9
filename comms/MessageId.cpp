#include "comms/MessageId.h"

#include <cstdint>
#include <random>

#include "platform/BlockingTcpSocket.h"
#include "platform/Format.h"

namespace quirn {

namespace {

constexpr std::size_t kMaxHostNameLength = 80;
constexpr const char* kFallbackDomain = "localhost";
// Besides letters and digits, what the right side of a Message-ID (a dot-atom) may hold.
constexpr std::string_view kDomainSymbols = ".-_";

bool fitsDomain(char c) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return alnum || kDomainSymbols.find(c) != std::string_view::npos;
}

std::string cleanDomain(std::string_view text) {
    std::string out;
    for (char c : text)
        if (fitsDomain(c)) out += c;
    // A dot-atom neither starts nor ends with a dot.
    while (!out.empty() && out.front() == '.') out.erase(out.begin());
    while (!out.empty() && out.back() == '.') out.pop_back();
    return out;
}

std::uint64_t randomBits() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

}  // namespace

std::string messageIdDomain(std::string_view senderAddress) {
    const std::size_t at = senderAddress.rfind('@');
    std::string domain;
    if (at != std::string_view::npos) domain = cleanDomain(senderAddress.substr(at + 1));
    if (domain.empty()) domain = cleanDomain(localHostName(kMaxHostNameLength));
    return domain.empty() ? kFallbackDomain : domain;
}

std::string makeMessageId(std::string_view senderAddress, std::time_t written) {
    return format("<%lld.%016llx@", static_cast<long long>(written),
                  static_cast<unsigned long long>(randomBits())) +
           messageIdDomain(senderAddress) + ">";
}

}  // namespace quirn
