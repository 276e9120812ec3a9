#pragma once
#include <cstdint>

namespace quirn {

// Where a location's last read (or write) stands; Location::readState holds its number, and
// the read-back snapshot keeps that number on disk.
enum class ReadState : int32_t {
    NotRead = 0,
    Reading = 1,
    ReadingAgain = 2,
    ValidatePassed = 3,
    ValidateFailed = 4,
    ConnectionFailed = 5,
    PartialData = 6,
    Writing = 7,
};

}  // namespace quirn
