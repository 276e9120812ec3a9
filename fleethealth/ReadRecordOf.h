#pragma once
#include <ctime>

#include "fleethealth/ReadRecord.h"

namespace quirn {

class Location;

// The record of a read that just ended for a location: its read state, bytes, and from its
// decoded image (when the read brought one) the clock offset against `time` and the relay.
// `resultBits` are validation's bits for a read that was compared.
ReadRecord readRecordOf(const Location& location, ReadSource source, std::time_t time,
                        unsigned resultBits);

// The link a station read of the location went through: the radio, the M2M client or WiFi.
ReadSource readSourceOf(const Location& location);

}  // namespace quirn
