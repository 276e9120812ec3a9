#include "tests/support/TimeZoneSwitch.h"

#include <cstdlib>
#include <ctime>

namespace quirn::test {

namespace {

constexpr const char* kVariable = "TZ";

void setZone(const char* zone) {
#ifdef _WIN32
    _putenv_s(kVariable, zone);
    _tzset();
#else
    setenv(kVariable, zone, 1);
    tzset();
#endif
}

}  // namespace

TimeZoneSwitch::TimeZoneSwitch(const char* posixZone, const char* windowsZone) {
    if (const char* now = std::getenv(kVariable)) previous_ = now;
#ifdef _WIN32
    (void)posixZone;
    setZone(windowsZone);
#else
    (void)windowsZone;
    setZone(posixZone);
#endif
}

TimeZoneSwitch::~TimeZoneSwitch() {
    // The test main always sets a zone, so there is one to go back to.
    setZone(previous_ ? previous_->c_str() : "");
}

}  // namespace quirn::test
