#include "protocol/SentenceCommands.h"

#include <algorithm>

#include "protocol/MessageFrame.h"

namespace quirn {

namespace pi = program_image;

namespace {

constexpr char kProgramKind = 'S';
constexpr char kQueryKind = 'Q';
constexpr const char* kBaudFast = "B000000B";
constexpr const char* kBaudSlow = "B000000A";
constexpr size_t kLengthFieldAt = 4;  // after "S" and the address
constexpr size_t kLengthFieldSize = 2;
constexpr unsigned kByteBits = 8;
constexpr uint8_t kByteMask = 0xFF;
constexpr char kEnd = 0;

template <size_t N>
void copyImage(std::array<uint8_t, N>& to, std::span<const uint8_t> from, size_t offset) {
    if (offset >= from.size()) return;
    from = from.subspan(offset);
    std::copy_n(from.begin(), std::min(from.size(), N), to.begin());
}

}  // namespace

ProgramSentenceCommand::ProgramSentenceCommand(int masterGroup, int group, int location,
                                               std::span<const uint8_t> image)
    : SentenceCommand(masterGroup, group, location) {
    copyImage(image_, image, 0);
}

std::string ProgramSentenceCommand::payload() const {
    auto bytesAt = [this](size_t offset, size_t length) {
        return std::string(reinterpret_cast<const char*>(image_.data()) + offset, length);
    };
    std::string p(1, kProgramKind);
    p += bytesAt(pi::kAddress, pi::kAddressLength);
    p.append(kLengthFieldSize, '\0');  // filled in once the length is known
    p += bytesAt(pi::kClock, pi::kClockLength);
    p += bytesAt(pi::kDaylightRule, pi::kDaylightRuleLength);

    std::string plans;
    int planCount = 0;
    for (size_t plan = 1; plan <= pi::kPlanSlots; ++plan) {
        size_t slot = pi::slotOffset(plan);
        if (image_[slot] == 0) continue;
        std::string steps;
        size_t n = 0;
        for (; n < pi::kStepsPerSlot; ++n) {
            size_t step = slot + n * pi::kStepLength;
            if (image_[step] == 0) break;
            steps += bytesAt(step, pi::kStepBytesSent);
        }
        plans += static_cast<char>(plan);
        plans += static_cast<char>(n);
        plans += steps;
        ++planCount;
    }
    p += static_cast<char>(planCount);
    p += plans;

    std::string annual;
    size_t entries = 0;
    for (; entries < pi::kAnnualEntries; ++entries) {
        size_t at = pi::annualOffset(entries);
        if (image_[at] == 0) break;
        annual += bytesAt(at, pi::kAnnualBytesSent);
    }
    p += static_cast<char>(entries);
    p += annual;
    p += bytesAt(pi::kDefaultWeek, pi::kDefaultWeekLength);
    p += kEnd;

    size_t total = p.size() + kSentenceOverhead;
    p[kLengthFieldAt] = static_cast<char>((total >> kByteBits) & kByteMask);
    p[kLengthFieldAt + 1] = static_cast<char>(total & kByteMask);
    return p;
}

QuerySentenceCommand::QuerySentenceCommand(int masterGroup, int group, int location,
                                           std::span<const uint8_t> image)
    : SentenceCommand(masterGroup, group, location) {
    copyImage(address_, image, pi::kAddress);
}

std::string QuerySentenceCommand::payload() const {
    std::string p(1, kQueryKind);
    for (uint8_t b : address_) p += static_cast<char>(b);
    return p;
}

std::string BaudSentenceCommand::payload() const {
    return baud_ == kFastBaud ? kBaudFast : kBaudSlow;
}

}  // namespace quirn
