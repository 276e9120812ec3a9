#pragma once
// Command-line arguments from a fuzz input, and the re-spelling of the values the command-line
// parsers accept, shared by the command-line fuzz targets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Format.h"
#include "platform/LocalTime.h"

namespace quirn::fuzz {

// The input split on NUL bytes, one argument a part (an empty input is no argument), at most
// `limit` of them.
inline std::vector<std::string> argsOf(const uint8_t* data, std::size_t size,
                                       std::size_t limit = 64) {
    std::vector<std::string> args;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) return args;
    for (std::size_t at = 0; args.size() < limit;) {
        std::size_t nul = input.find('\0', at);
        args.emplace_back(input.substr(at, nul == std::string_view::npos ? nul : nul - at));
        if (nul == std::string_view::npos) break;
        at = nul + 1;
    }
    return args;
}

// "YYYY-MM-DD HH:MM:SS", every field its full width.
inline std::string dateTimeText(const LocalDateTime& t) {
    return format("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
}

}  // namespace quirn::fuzz
