#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <span>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/CommandVorn.h"
#include "protocol/ProgramImageLayout.h"

namespace quirn {

// $T: set the clock of an MX40/LR40. 12 bytes: "$", "T", BCD master group, group, location,
// twelve-hour hour, minute, second, weekday, month, day, year - 2000.
class BcdTimeCommand : public BcdCommand {
  public:
    static constexpr size_t kLength = 12;
    // `when` is sent when it is in 2008 or later; otherwise (the placeholder) the clock's now.
    BcdTimeCommand(int masterGroup, int group, int location, const Clock& clock,
                   std::time_t when = neverTime())
        : BcdCommand(masterGroup, group, location), clock_(clock), when_(when) {}
    LocalDateTime effectiveTime() const;
    std::string bytes() const override;

  private:
    const Clock& clock_;
    std::time_t when_;
};

// $M: switch both relays. 6 bytes; relay code relay1 + 2 * relay2 when 1..3, else 0.
class BcdRelayCommand : public BcdCommand {
  public:
    static constexpr size_t kLength = 6;
    // Both relays get the same value, as the loader switches them together.
    BcdRelayCommand(int masterGroup, int group, int location, int value)
        : BcdCommand(masterGroup, group, location), relay1_(value), relay2_(value) {}
    int relayCode() const;
    std::string bytes() const override;

  private:
    int relay1_;
    int relay2_;
};

// C78 / C79: read request to an MX40 / an LR40. 6 bytes: "C", "7", "8" or "9", BCD numbers.
class MX40ReadCommand : public BcdCommand {
  public:
    static constexpr size_t kLength = 6;
    MX40ReadCommand(int masterGroup, int group, int location)
        : BcdCommand(masterGroup, group, location) {}
    std::string bytes() const override;
};

class LR40ReadCommand : public BcdCommand {
  public:
    static constexpr size_t kLength = 6;
    LR40ReadCommand(int masterGroup, int group, int location)
        : BcdCommand(masterGroup, group, location) {}
    std::string bytes() const override;
};

// The whole 968-byte program image of an MX40, unframed. The image is handed in already
// built and stamped for the location; a missing or short image is padded with zero bytes
// (an all-zero image clears the switch's program).
class ProgramImageCommand : public BcdCommand {
  public:
    ProgramImageCommand(int masterGroup, int group, int location,
                        std::span<const uint8_t> image = {});
    const std::array<uint8_t, program_image::kSize>& image() const { return image_; }
    std::string bytes() const override;

  private:
    std::array<uint8_t, program_image::kSize> image_{};
};

}  // namespace quirn
