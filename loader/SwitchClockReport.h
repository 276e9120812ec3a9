#pragma once
#include <ctime>
#include <string>

namespace quirn {

class ProgramImage;
class Qn510Image;

// What a read tells the technician about the attached switch's clock: the time it reported, how
// far that is from the computer's time of the read, and whether the station's validation would
// call it wrong. Only what the switch reported is shown as its time: a QN510 reports its
// weekday, hour and minute, nothing more, so neither a date nor seconds are made up for it.
struct SwitchClockReport {
    bool known = false;           // the reply held a usable time
    bool hasSeconds = false;      // the switch reported its seconds
    long long offsetSeconds = 0;  // switch minus computer; whole minutes when !hasSeconds
    bool wrong = false;           // off by more than validation lets pass (or unusable)
    std::string clockLine;        // "Clock Data read at ..."
    std::string offsetLine;       // "Switch clock 5 min 02 s fast."
};

// `readTime` is the computer's time when the switch answered the read request.
SwitchClockReport qn510ClockReport(const Qn510Image& image, std::time_t readTime);
SwitchClockReport imageClockReport(const ProgramImage& image, std::time_t readTime);

// "5 min 02 s fast", "1 h 00 min slow", "2 d 03 h 10 min fast"; to the minute when
// `withSeconds` is false. Zero says the clocks agree.
std::string clockOffsetText(long long offsetSeconds, bool withSeconds);

}  // namespace quirn
