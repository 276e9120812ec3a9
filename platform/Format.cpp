#include "platform/Format.h"

#include <cstdarg>
#include <cstdio>

namespace quirn {

namespace {
// Room for every text the station formats in one go; longer ones take a second pass.
constexpr int kFirstPassSize = 256;
}  // namespace

std::string format(const char* fmt, ...) {
    char buffer[kFirstPassSize];
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    std::string out;
    if (length >= 0 && length < kFirstPassSize) {
        out.assign(buffer, static_cast<size_t>(length));
    } else if (length >= kFirstPassSize) {
        out.resize(static_cast<size_t>(length));
        std::vsnprintf(out.data(), out.size() + 1, fmt, again);
    }
    va_end(again);
    return out;
}

}  // namespace quirn
