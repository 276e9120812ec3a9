#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"
#include "sim/RelaySchedule.h"
#include "sim/SimSettings.h"
#include "sim/ZoneRule.h"

namespace quirn::sim {

// The program memory of a simulated MX40 or LR40: the 968-byte image (day plans, annual
// entries, daylight-saving rule, default week, relay field, clock, zone letter). It takes a
// whole image or an LR40 program sentence and answers with the image or a sentence, the clock
// and relay always current.
class ProgramMemory {
  public:
    static constexpr size_t kSize = 968;
    using Image = std::array<uint8_t, kSize>;

    // What the switch holds before anyone programs it: its own address, no day plans, no
    // annual entries, every day plan 0, the zone's daylight-saving rule and letter.
    ProgramMemory(const SimAddress& address, const ZoneRule& zone);

    // Takes a whole image as received (all-zero images clear the program but keep the address).
    void takeImage(std::string_view bytes);
    // Takes a program sentence ("$S" ... "*hh"); false (memory unchanged) when it is malformed:
    // wrong length field, missing "*", bad checksum, or counts that run past its end.
    bool takeSentence(std::string_view bytes);

    // The clock carried by the last program taken, when its bytes form a date.
    std::optional<LocalDateTime> programClock() const;
    // The daylight-saving rule and zone letter carried by the program, applied to `zone`.
    ZoneRule zoneOfProgram(const ZoneRule& zone) const;

    // The image as the switch answers C78: clock and relay field current.
    std::string imageReply(const LocalDateTime& clock, int relayCode, char zoneLetter) const;
    // The program sentence as an LR40 answers C79 or 'Q': the clock current and the relay code
    // as the last payload byte.
    std::string sentenceReply(const LocalDateTime& clock, int relayCode) const;

    // Day plan in force on a date: the first annual entry covering it, else the default week.
    int planFor(int year, int month, int day, int weekday) const;
    // Steps of a day plan 1..9 in memory order; nothing for any other number.
    std::vector<SwitchStep> planSteps(int plan) const;
    // Number of annual entries held.
    size_t annualCount() const;

    const Image& image() const { return image_; }

  private:
    Image image_{};
};

}  // namespace quirn::sim
