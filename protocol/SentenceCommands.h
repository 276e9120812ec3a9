#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "protocol/CommandVorn.h"
#include "protocol/ProgramImageLayout.h"

namespace quirn {

// 'S': an LR40's whole program as a sentence, built from its program image (already built
// and stamped for the location). Payload: "S", address (3), total sentence length (2, high
// byte first), clock (7), daylight-saving rule (4), plan count and each non-empty day plan
// 1..9 (number, step count, 3 bytes per step), annual count and entries (7 bytes each),
// default week (7), a closing 0.
class ProgramSentenceCommand : public SentenceCommand {
  public:
    ProgramSentenceCommand(int masterGroup, int group, int location,
                           std::span<const uint8_t> image);
    std::string payload() const override;

  private:
    std::array<uint8_t, program_image::kSize> image_{};
};

// 'Q': query an LR40; payload "Q" and the image's three address bytes.
class QuerySentenceCommand : public SentenceCommand {
  public:
    QuerySentenceCommand(int masterGroup, int group, int location, std::span<const uint8_t> image);
    std::string payload() const override;

  private:
    std::array<uint8_t, program_image::kAddressLength> address_{};
};

// 'B': change the baud rate; "B000000B" for 4800, "B000000A" for any other rate.
class BaudSentenceCommand : public SentenceCommand {
  public:
    static constexpr int kFastBaud = 4800;
    explicit BaudSentenceCommand(int baud) : baud_(baud) {}
    int baud() const { return baud_; }
    std::string payload() const override;

  private:
    int baud_;
};

}  // namespace quirn
