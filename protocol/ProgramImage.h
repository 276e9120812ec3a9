#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "plans/ReadBackImage.h"
#include "platform/LocalTime.h"
#include "protocol/ProgramImageLayout.h"

namespace quirn {

// One entry of the annual list: a date range given one day plan.
struct AnnualEntry {
    int masterGroup = 0;
    int group = 0;
    int startYear = 0;
    int startMonth = 0;
    int startDay = 0;
    int endYear = 0;
    int endMonth = 0;
    int endDay = 0;
    int plan = 0;
    friend bool operator==(const AnnualEntry&, const AnnualEntry&) = default;
};

// The 968-byte program memory of an MX40 or LR40: built by the station from a group's plans
// and read back from the time switch. The master group, group and location it belongs to are
// the BCD bytes 4, 5 and 6 on both sides, so a matching time switch compares equal.
class ProgramImage : public ReadBackImage {
  public:
    static constexpr size_t kSize = program_image::kSize;
    // Seconds the image clock runs ahead of the build.
    static constexpr std::time_t kClockLead = 4;
    using Bytes = std::array<uint8_t, kSize>;

    // All zero: not valid.
    ProgramImage() = default;
    // A copy of up to 968 bytes; a shorter input leaves the rest zero.
    explicit ProgramImage(std::span<const uint8_t> bytes);
    // A freshly initialised image: no program, the address, daylight-saving rule and clock
    // (`now` + 4 seconds).
    static ProgramImage fresh(int masterGroup, int group, int location, std::time_t now);

    // Bytes 0-3 are "MX40" and byte 967 is "O".
    bool isValid() const;

    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }
    int masterGroup() const;
    int group() const;
    int location() const;

    // Layout writers used by the builder. Out-of-range arguments write nothing.
    void writeHeader(int masterGroup, int group, int location);
    void setLocation(int location);
    void writeStep(int plan, int index, int hour, int minute, bool on);
    void clearSlot(int plan);
    void writeAnnual(int index, const LocalDateTime& start, const LocalDateTime& end, int plan);
    void writeDaylightRule();
    // The clock bytes 956-962 from a time (the caller adds the 4 seconds).
    void writeClock(std::time_t t);
    // Slot 0: the build time as plain numbers and the constant marks.
    void writeBuildStamp(std::time_t built);
    // Zone letter (966) and the closing "O" (967).
    void writeTrailer();
    // Day plan numbers Sunday .. Saturday (low bytes) into 947-953.
    void writeDefaultWeek(const std::array<int, 8>& week);

    // Relay field (bits 0-1 of byte 955).
    int relayBits() const;
    void setRelayBits(int bits);

    // Cuts the annual list at the first entry with an impossible date (month outside 1..12,
    // day outside 1..31, year after 2050) by zeroing its first byte, then decodes the entries
    // left into annualEntries().
    void checkAnnualEntries();
    const std::vector<AnnualEntry>& annualEntries() const { return annual_; }

    // The clock bytes as a local time; nothing when they are not a valid date
    // (year 1970..2038, month 1..12, day 1..31).
    std::optional<LocalDateTime> clockFields() const;

    std::time_t clock() const override;
    std::string describeRelay() const override;
    std::vector<std::string> describeProgram() const override;

    friend bool operator==(const ProgramImage& a, const ProgramImage& b) {
        return a.bytes_ == b.bytes_;
    }

  private:
    Bytes bytes_{};
    std::vector<AnnualEntry> annual_;
};

}  // namespace quirn
