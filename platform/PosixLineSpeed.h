#pragma once
#ifndef _WIN32
#include <termios.h>

namespace quirn {

// The line rate a terminal device reports, in baud; 0 when it cannot be read or is not one of
// the common rates.
int reportedBaud(int fd);

}  // namespace quirn
#endif
