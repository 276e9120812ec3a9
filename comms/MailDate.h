#pragma once
#include <ctime>
#include <string>

namespace quirn {

// The Date header's text of t in local time: "Wed, 09 Dec 2026 14:43:02 +0100" — English names,
// a four-digit year and the numeric offset from UTC that held at t (daylight saving included).
// A zone name ("CET", "+03") is not used: mail programs read unknown names as UTC and "+03" as
// three minutes.
std::string mailDateText(std::time_t t);

}  // namespace quirn
