#pragma once
#include <ctime>
#include <string>

#include "plans/LocationKey.h"
#include "plans/LocationReadState.h"

namespace quirn {

// Which path took a read: the station's links (WiFi, the M2M client, the radio) or the loader's
// attached switch. Stored as its number: never renumber.
enum class ReadSource : int {
    Station = 0,  // a station read whose link is not known
    WiFi = 1,
    M2M = 2,
    Radio = 3,
    Loader = 4,
};

// Whether the read program matched what the station's plans say.
enum class ProgramMatch : int {
    Unknown = 0,  // no program came back (connection failed, partial data)
    Matched = 1,
    Differs = 2,
};

// Relay state when the read carried none.
inline constexpr int kRelayUnknown = -1;

// One read-back the station (or the loader) took of a time switch, as the history keeps it.
struct ReadRecord {
    std::time_t time = 0;  // the Clock's time when the read ended
    LocationKey location;
    ReadState state = ReadState::NotRead;  // how the read ended (its read-state number)
    ReadSource source = ReadSource::Station;
    // Switch clock minus the computer's at the read, in seconds, when the reply held a usable
    // clock. A QN510 reports no seconds: its offset is whole minutes (clockHasSeconds false).
    bool hasClock = false;
    bool clockHasSeconds = false;
    long long clockOffsetSeconds = 0;
    ProgramMatch program = ProgramMatch::Unknown;
    int relayState = kRelayUnknown;  // bit 0 relay 1 (the QN510's relay), bit 1 relay 2
    unsigned resultBits = 0;         // validation's result bits (0: validated)
    int bytesRead = 0;
    // Not a read: the station sent this switch its clock (a time send or a program write).
    // It starts a new drift run whatever the offsets say.
    bool clockSent = false;
};

// "WiFi", "M2M", "Radio", "Loader", "Station".
const char* readSourceText(ReadSource source);

}  // namespace quirn
