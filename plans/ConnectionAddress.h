#pragma once
#include <string_view>

namespace quirn {

// A dotted IPv4 address of four decimal numbers 0..255, each without leading zeros (a leading
// zero reads as octal to some resolvers, so "010" would not be 10).
bool isDottedAddress(std::string_view s);

// A connection that reaches one time switch: the radio, the M2M client, or a dotted IPv4
// address other than the broadcast address of every link.
bool isTimeSwitchConnection(std::string_view connection);

}  // namespace quirn
