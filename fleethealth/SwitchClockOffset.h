#pragma once
#include <ctime>

namespace quirn {

class ReadBackImage;

// A read-back image's clock against the computer's time of the read.
struct SwitchClockOffset {
    bool known = false;       // the image held a usable clock
    bool hasSeconds = false;  // false for a QN510 or Strider: whole minutes only
    long long seconds = 0;    // switch minus computer
};

// A QN510 reports weekday, hour and minute only: its offset is taken the short way round the
// week, in whole minutes. A 968-byte image reports a full date and time.
SwitchClockOffset switchClockOffset(const ReadBackImage& image, std::time_t readTime);

}  // namespace quirn
