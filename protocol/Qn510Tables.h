#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/LocalTime.h"

namespace quirn {

// The 776-byte memory image of a QN510 (and Strider) time switch: clock, flags and three step
// tables. The station builds one from the texts it sent (to know what the switch should hold)
// and the read-back decoder fills the same structure from a reply, so the two compare byte
// for byte.
//
// Each table is a run of 3-byte entries (QN510 day mask Sunday 1 .. Saturday 64; hour with
// bit 7 set for ON; minute) ended by an entry whose day mask is 0.
class Qn510Tables {
  public:
    static constexpr size_t kSize = 776;
    static constexpr size_t kMarkU = 3;    // "U"
    static constexpr size_t kMarkAA = 4;   // 0xAA
    static constexpr size_t kWeekday = 5;  // clock: weekday 1..7, hour, minute
    static constexpr size_t kHour = 6;
    static constexpr size_t kMinute = 7;
    static constexpr size_t kFlags = 9;
    static constexpr size_t kDefaultTable = 10;
    static constexpr size_t kAlternateTable = 265;
    static constexpr size_t kOverrideTable = 520;
    static constexpr size_t kTableLength = 254;
    static constexpr size_t kEntryLength = 3;
    static constexpr size_t kMaxEntries = kTableLength / kEntryLength;  // 84
    static constexpr size_t kMarkX = 775;                               // "X"

    static constexpr uint8_t kAlternateActive = 0x01;
    static constexpr uint8_t kOverrideActive = 0x02;
    static constexpr uint8_t kRelayOn = 0x80;
    static constexpr uint8_t kOnBit = 0x80;  // in an entry's hour byte

    enum class Table { Default, Alternate, Override };

    struct Entry {
        uint8_t days = 0;
        uint8_t hour = 0;  // with kOnBit for an ON step
        uint8_t minute = 0;
        bool on() const { return (hour & kOnBit) != 0; }
        int plainHour() const { return hour & ~kOnBit & 0xFF; }
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    // All zero: not a valid image.
    Qn510Tables() = default;

    // A fresh image: the marks, the clock's weekday, hour and minute, empty tables, no flags.
    static Qn510Tables fresh(const LocalDateTime& clock);

    // Bytes 0-2 are 0, byte 3 is "U" and byte 775 is "X".
    bool isValid() const;

    uint8_t flags() const { return bytes_[kFlags]; }
    void setFlags(uint8_t flags) { bytes_[kFlags] = flags; }

    // Entries of a table up to (not including) the first with day mask 0, or the table's end.
    std::vector<Entry> entries(Table table) const;
    // Zeroes the whole table.
    void clearTable(Table table);
    // Clears the table and writes the entries in order; writes at most kMaxEntries and
    // returns how many were written.
    size_t writeTable(Table table, const std::vector<Entry>& entries);

    const std::array<uint8_t, kSize>& bytes() const { return bytes_; }
    std::array<uint8_t, kSize>& bytes() { return bytes_; }

    friend bool operator==(const Qn510Tables&, const Qn510Tables&) = default;

  private:
    static size_t offsetOf(Table table);
    std::array<uint8_t, kSize> bytes_{};
};

}  // namespace quirn
