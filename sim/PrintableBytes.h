#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace quirn::sim {

// Bytes as one line of log text: printable characters as they are, anything else (and the
// backslash) as \xNN; runs longer than `limit` bytes are cut there with the full count added.
std::string printableBytes(std::string_view bytes, size_t limit = 80);

}  // namespace quirn::sim
