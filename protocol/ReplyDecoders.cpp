#include "protocol/ReplyDecoders.h"

#include <algorithm>
#include <string_view>

#include "protocol/Checksums.h"
#include "protocol/MessageFrame.h"

namespace quirn {

namespace pi = program_image;

namespace {

constexpr uint8_t kCompactKind = 'S';
constexpr uint8_t kMarkU = 'U';
constexpr uint8_t kMarkAA = 0xAA;
constexpr uint8_t kMarkX = 'X';

// Compact QN510 reply offsets.
constexpr size_t kReplyClock = 1;  // weekday, hour, minute
constexpr size_t kReplyFlags = 5;
constexpr size_t kReplyVersion = 6;
constexpr size_t kReplyFirstCount = 9;

// LR40 sentence offsets.
constexpr uint8_t kProgramKind = 'S';
constexpr size_t kSentenceMinimum = 7;
constexpr size_t kSentenceAddress = 2;
constexpr size_t kSentenceLength = 5;
constexpr size_t kSentenceClock = 7;
constexpr size_t kSentenceTail = 3;  // "*" and two checksum digits
constexpr uint8_t kMarkMx40[] = {'M', 'X', '4', '0'};
constexpr size_t kDigitsStart = 4;  // "0" into bytes 4-8 before the address is copied
constexpr size_t kDigitsEnd = 9;
constexpr size_t kEnd = pi::kEndMarkAt;
constexpr uint8_t kEndMark = 'O';
constexpr unsigned kByteBits = 8;

constexpr size_t kTableOffsets[] = {Qn510Tables::kDefaultTable, Qn510Tables::kAlternateTable,
                                    Qn510Tables::kOverrideTable};

// Reads forward through a reply, refusing to step past its end.
class Cursor {
  public:
    Cursor(const uint8_t* bytes, size_t end) : bytes_(bytes), end_(end) {}
    bool has(size_t n) const { return n <= end_ - at_; }
    uint8_t take() { return bytes_[at_++]; }
    const uint8_t* span(size_t n) {
        const uint8_t* p = bytes_ + at_;
        at_ += n;
        return p;
    }
    size_t at() const { return at_; }
    void seek(size_t at) { at_ = at; }

  private:
    const uint8_t* bytes_;
    size_t end_;
    size_t at_ = 0;
};

}  // namespace

Qn510Image parseQN510Reply(const uint8_t* bytes, size_t count, std::time_t readTime) {
    Qn510Image image(Qn510Tables{}, readTime);
    if (bytes == nullptr) return image;
    auto& out = image.tables().bytes();
    if (count == Qn510Tables::kSize) {
        std::copy_n(bytes, count, out.begin());
        return image;
    }
    if (count < kCompactQn510Minimum || bytes[0] != kCompactKind) return image;

    // Walk the three counts first: the reply must hold exactly what they announce.
    size_t at = kReplyFirstCount;
    size_t counts[3] = {};
    for (size_t t = 0; t < 3; ++t) {
        if (at >= count) return image;
        auto n = static_cast<int8_t>(bytes[at]);
        if (n < 0 || static_cast<size_t>(n) > Qn510Tables::kMaxEntries) return image;
        counts[t] = static_cast<size_t>(n);
        at += 1 + Qn510Tables::kEntryLength * counts[t];
    }
    if (at + kChecksumTextLength != count) return image;
    std::string_view covered(reinterpret_cast<const char*>(bytes), at);
    std::string_view written(reinterpret_cast<const char*>(bytes) + at, kChecksumTextLength);
    if (checksumText(replyChecksum(covered)) != written) return image;

    Qn510Tables tables;
    auto& b = tables.bytes();
    b[Qn510Tables::kMarkU] = kMarkU;
    b[Qn510Tables::kMarkAA] = kMarkAA;
    std::copy_n(bytes + kReplyClock, 3, b.begin() + Qn510Tables::kWeekday);
    b[Qn510Tables::kFlags] = bytes[kReplyFlags];
    b[Qn510Tables::kMarkX] = kMarkX;
    at = kReplyFirstCount;
    for (size_t t = 0; t < 3; ++t) {
        size_t length = Qn510Tables::kEntryLength * counts[t];
        std::copy_n(bytes + at + 1, length, b.begin() + kTableOffsets[t]);
        at += 1 + length;
    }
    char letter = static_cast<char>(bytes[kReplyVersion]);
    image.tables() = tables;
    image.setVersion(firmwareVersion(letter));
    image.setStrider(isStriderVersion(letter));
    return image;
}

ProgramImage parseLR40Reply(const uint8_t* bytes, size_t count) {
    if (bytes == nullptr) return {};
    if (count == pi::kSize) return ProgramImage(std::span<const uint8_t>(bytes, count));
    if (count < kSentenceMinimum || bytes[0] != kSentenceStart || bytes[1] != kProgramKind)
        return {};
    size_t length =
        (static_cast<size_t>(bytes[kSentenceLength]) << kByteBits) | bytes[kSentenceLength + 1];
    if (length != count || bytes[count - kSentenceTail] != kSentenceEnd) return {};
    std::string_view payload(reinterpret_cast<const char*>(bytes) + 1, count - 1 - kSentenceTail);
    std::string_view digits(reinterpret_cast<const char*>(bytes) + count - 2, 2);
    if (hexByteText(sentenceChecksum(payload)) != digits) return {};

    ProgramImage image;
    auto& b = image.bytes();
    std::copy(std::begin(kMarkMx40), std::end(kMarkMx40), b.begin());
    std::fill(b.begin() + kDigitsStart, b.begin() + kDigitsEnd, '0');
    b[kEnd] = kEndMark;
    std::copy_n(bytes + kSentenceAddress, pi::kAddressLength, b.begin() + pi::kAddress);

    Cursor in(bytes, count - kSentenceTail);
    in.seek(kSentenceClock);
    if (!in.has(pi::kClockLength + pi::kDaylightRuleLength + 1)) return {};
    std::copy_n(in.span(pi::kClockLength), pi::kClockLength, b.begin() + pi::kClock);
    std::copy_n(in.span(pi::kDaylightRuleLength), pi::kDaylightRuleLength,
                b.begin() + pi::kDaylightRule);
    size_t plans = in.take();
    for (size_t i = 0; i < plans; ++i) {
        if (!in.has(2)) return {};
        size_t plan = in.take();
        size_t steps = in.take();
        if (plan < 1 || plan > pi::kPlanSlots || steps > pi::kStepsPerSlot ||
            !in.has(pi::kStepBytesSent * steps))
            return {};
        for (size_t s = 0; s < steps; ++s)
            std::copy_n(in.span(pi::kStepBytesSent), pi::kStepBytesSent,
                        b.begin() + pi::slotOffset(plan) + pi::kStepLength * s);
    }
    if (!in.has(1)) return {};
    size_t entries = in.take();
    if (entries > pi::kAnnualEntries || !in.has(pi::kAnnualBytesSent * entries)) return {};
    for (size_t i = 0; i < entries; ++i)
        std::copy_n(in.span(pi::kAnnualBytesSent), pi::kAnnualBytesSent,
                    b.begin() + pi::annualOffset(i));
    if (!in.has(pi::kDefaultWeekLength)) return {};
    std::copy_n(in.span(pi::kDefaultWeekLength), pi::kDefaultWeekLength,
                b.begin() + pi::kDefaultWeek);
    // One more byte before "*" is the relay state.
    if (in.has(1)) b[pi::kRelay] = in.take();
    return image;
}

}  // namespace quirn
