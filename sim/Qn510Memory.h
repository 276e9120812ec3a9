#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/LocalTime.h"

namespace quirn::sim {

// The memory of a simulated QN510 (or Strider): three step tables, the flags byte and the
// relay. Tables are filled the way the switch takes a 'D', 'W' or 'O' text: the day sets of
// every triplet are gathered per minute, then written in minute order, ON before OFF.
class Qn510Memory {
  public:
    static constexpr size_t kMaxEntries = 84;  // 254 bytes of 3-byte entries
    static constexpr size_t kImageSize = 776;
    static constexpr uint8_t kAlternateActive = 0x01;
    static constexpr uint8_t kOverrideActive = 0x02;
    static constexpr uint8_t kRelayOnFlag = 0x80;
    static constexpr uint8_t kOnBit = 0x80;  // in an entry's hour byte
    static constexpr uint8_t kAllDays = 0x7F;
    static constexpr char kQn510Version = 'C';
    static constexpr char kStriderVersion = 'a';

    enum class Table { Default = 0, Alternate = 1, Override = 2 };

    // Day mask Sunday 1 .. Saturday 64; hour with kOnBit for ON; minute.
    struct Entry {
        uint8_t days = 0;
        uint8_t hour = 0;
        uint8_t minute = 0;
        bool on() const { return (hour & kOnBit) != 0; }
        int minuteOfDay() const { return (hour & ~kOnBit & 0xFF) * 60 + minute; }
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    // Day masks per minute of the day, as gathered from one message's triplets.
    using MinuteMasks = std::array<uint32_t, 1440>;

    // A 'D': clears the default and alternate tables and both plan flags, fills the default.
    void takeDefaultWeek(const MinuteMasks& on, const MinuteMasks& off);
    // A 'W': sets the alternate flag (and drops the override flag), fills the alternate table.
    void takeAlternateWeek(const MinuteMasks& on, const MinuteMasks& off);
    // An 'O' with steps: fills the override table and sets its flag.
    void takeOverride(const MinuteMasks& on, const MinuteMasks& off);
    // An 'O' saying the group has no override ("d"): the override is dropped.
    void dropOverride();
    // The alternate week or the override runs out.
    void endAlternateWeek() { flags_ &= static_cast<uint8_t>(~kAlternateActive); }
    void endOverride() { flags_ &= static_cast<uint8_t>(~kOverrideActive); }

    const std::vector<Entry>& table(Table t) const { return tables_[static_cast<size_t>(t)]; }
    uint8_t flags() const { return flags_; }
    bool relayOn() const { return relayOn_; }
    void setRelay(bool on) { relayOn_ = on; }

    // The table in force: override, else alternate week, else default week.
    Table activeTable() const;
    // Steps of the table in force on a weekday (1 = Sunday), ascending by minute.
    std::vector<Entry> stepsFor(int weekday) const;

    // Compact reply: "S", weekday, hour, minute, 0, flags (bit 7 the relay), version letter,
    // 0, 0, each table as its count and 3-byte entries, then the checksum as four characters.
    std::string compactReply(const LocalDateTime& clock, char version) const;
    // The 776-byte memory image.
    std::string rawImage(const LocalDateTime& clock) const;

  private:
    void fill(Table t, const MinuteMasks& on, const MinuteMasks& off);
    uint8_t flagsWithRelay() const;

    std::array<std::vector<Entry>, 3> tables_;
    uint8_t flags_ = 0;
    bool relayOn_ = false;
};

// Checksum of the compact reply: 0xFFFF, each byte (unsigned) XORed in and shifted right eight
// times, folding in 0xA001 whenever the bit shifted into position 0 is set; low 16 bits as
// four characters "0" + nibble, high nibble first.
std::string compactReplyChecksum(const std::string& bytes);

}  // namespace quirn::sim
