#pragma once
#include <optional>
#include <string>

namespace quirn::test {

// Puts the process in another time zone for the life of the object, then back in the one it
// had. The C library reads TZ again at once, so local time, daylight saving and the offset
// from UTC all follow. POSIX zone names go to the C library as they are; the Windows C runtime
// takes its own form (name, hours west, daylight name; it applies the US daylight-saving rules,
// which agree with the other zones' on the dates the tests use).
class TimeZoneSwitch {
  public:
    TimeZoneSwitch(const char* posixZone, const char* windowsZone);
    ~TimeZoneSwitch();
    TimeZoneSwitch(const TimeZoneSwitch&) = delete;
    TimeZoneSwitch& operator=(const TimeZoneSwitch&) = delete;

  private:
    std::optional<std::string> previous_;
};

}  // namespace quirn::test
