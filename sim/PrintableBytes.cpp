#include "sim/PrintableBytes.h"

#include "platform/Format.h"

namespace quirn::sim {

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

}  // namespace

std::string printableBytes(std::string_view bytes, size_t limit) {
    std::string out;
    size_t n = bytes.size() < limit ? bytes.size() : limit;
    for (size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= kFirstPrintable && c < kDelete && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += format("\\x%02X", c);
        }
    }
    if (n < bytes.size()) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

}  // namespace quirn::sim
