#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quirn::ctl {

// The messages found in a text as a JSON array: text, kind, prefix, master group, group,
// location and the ON and OFF steps as lists of {minute, mask}.
std::string decodeReport(std::string_view text);

// The time-switch models a reply can come from, by name ("qn510", "strider", "mx40", "lr40",
// any case); nothing for another name.
std::optional<int> modelByName(std::string_view name);

// A reply decoded as JSON: validity, clock, version, flags, relay text, the QN510 tables or
// the image's default week and annual entries, and the program description lines. `now` dates
// a QN510 clock.
std::string readbackReport(int model, std::string_view reply, std::time_t now);

}  // namespace quirn::ctl
