#ifndef _WIN32
#include "platform/PosixLineSpeed.h"

namespace quirn {

namespace {

struct SpeedName {
    speed_t speed;
    int baud;
};

constexpr SpeedName kSpeeds[] = {
    {B300, 300},   {B600, 600},     {B1200, 1200},   {B2400, 2400},   {B4800, 4800},
    {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
};

}  // namespace

int reportedBaud(int fd) {
    if (fd < 0) return 0;
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return 0;
    speed_t s = ::cfgetispeed(&t);
    for (const auto& entry : kSpeeds)
        if (entry.speed == s) return entry.baud;
    return 0;
}

}  // namespace quirn
#endif
