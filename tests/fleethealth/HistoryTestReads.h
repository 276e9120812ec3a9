#pragma once
#include <ctime>

#include "fleethealth/ReadRecord.h"

namespace quirn::test {

inline constexpr std::time_t kDaySeconds = 24 * 60 * 60;
inline constexpr std::time_t kHistoryStart = 1796000000;  // a 2026 instant

// A validated WiFi read of a switch whose clock is `offset` seconds fast.
inline ReadRecord validatedRead(LocationKey key, std::time_t time, long long offset) {
    ReadRecord read;
    read.time = time;
    read.location = key;
    read.state = ReadState::ValidatePassed;
    read.source = ReadSource::WiFi;
    read.hasClock = true;
    read.clockHasSeconds = true;
    read.clockOffsetSeconds = offset;
    read.program = ProgramMatch::Matched;
    read.relayState = 2;
    read.bytesRead = 968;
    return read;
}

// A read that got no answer.
inline ReadRecord failedRead(LocationKey key, std::time_t time) {
    ReadRecord read;
    read.time = time;
    read.location = key;
    read.state = ReadState::ConnectionFailed;
    read.source = ReadSource::Radio;
    return read;
}

}  // namespace quirn::test
