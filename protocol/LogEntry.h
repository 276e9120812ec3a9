#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Qn510Tables.h"

namespace quirn {

// What a paged message was, read back from its text.
enum class LogKind : int32_t {
    Undecodable = 0,
    Manual = 1,       // 'M'
    Read = 2,         // 'R'
    Override = 3,     // 'O'
    DefaultWeek = 4,  // 'D'
    Week = 5,         // 'W'
    Time = 6,         // 'T'
    GpsTime = 7,      // 'G'
};

inline constexpr size_t kMinutesPerDayTable = 1440;

// One decoded paged message. The step tables hold, per minute of the day, the QN510 day mask
// (Sunday 1 .. Saturday 64) of the days switching ON or OFF at that minute.
struct LogEntry {
    std::string text;  // the message as found, "@" through its checksum
    LogKind kind = LogKind::Undecodable;
    char prefix = 0;  // the character after "@" when it was a master group or "a".."w"
    int masterGroup = 1;
    int group = -1;  // -1 until decoded
    int location = -1;
    std::array<uint32_t, kMinutesPerDayTable> onMasks{};
    std::array<uint32_t, kMinutesPerDayTable> offMasks{};

    // True when any minute carries an ON or OFF day mask.
    bool hasSteps() const;
};

// Finds every complete message in a text ("@" ... "#" and four more characters) and decodes
// each; text without a complete message gives an empty list. Never reads outside the text.
std::vector<LogEntry> decodeText(std::string_view text);

// Decodes one message that starts with "@". A message that fails its kind check is
// Undecodable and carries no steps.
LogEntry decodeMessage(std::string_view message);

// Applies a decoded message to a QN510 image the way the time switch would:
//  'D' clears the default and alternate tables and flag bits 0 and 1, then fills the default
//      table;
//  'W' clears the alternate table and flag bit 1, sets flag bit 0, then fills the alternate
//      table;
//  'O' with steps fills the override table and sets flag bit 1 ("d", no override, changes
//      nothing).
// A table is filled in minute order, ON before OFF at the same minute; entries beyond the
// table's 84 are dropped. Returns false (image unchanged) for any other message.
bool applyTo(const LogEntry& entry, Qn510Tables& image);

}  // namespace quirn
