#include "comms/MailDate.h"

#include <cstdlib>

#include "platform/Format.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr const char* kDateFormat = "%a, %d %b %Y %H:%M:%S ";
constexpr long kSecondsPerMinute = 60;
constexpr long kMinutesPerHour = 60;
}  // namespace

std::string mailDateText(std::time_t t) {
    const long offsetMinutes = utcOffsetSeconds(t) / kSecondsPerMinute;
    const long magnitude = std::labs(offsetMinutes);
    return formatLocal(kDateFormat, toLocal(t)) +
           format("%c%02ld%02ld", offsetMinutes < 0 ? '-' : '+', magnitude / kMinutesPerHour,
                  magnitude % kMinutesPerHour);
}

}  // namespace quirn
