#include "sim/ProgramMemory.h"

#include <algorithm>

#include "sim/SimBcd.h"

namespace quirn::sim {

namespace {

constexpr std::string_view kMark = "MX40";
constexpr size_t kAddressAt = 4;
constexpr size_t kAddressLength = 3;
constexpr size_t kZerosAt = 7;  // "00" after the address
constexpr size_t kSlotStart = 9;
constexpr size_t kSlotLength = 64;
constexpr int kFirstPlan = 1;
constexpr int kLastPlan = 9;
constexpr size_t kStepsPerSlot = 16;
constexpr size_t kStepLength = 4;
constexpr size_t kStepBytesSent = 3;
constexpr size_t kAnnualStart = 649;
constexpr size_t kAnnualEntries = 36;
constexpr size_t kAnnualLength = 8;
constexpr size_t kAnnualBytesSent = 7;
constexpr size_t kRuleAt = 938;
constexpr size_t kRuleLength = 4;
constexpr size_t kWeekAt = 947;
constexpr size_t kWeekLength = 7;
constexpr size_t kRelayAt = 955;
constexpr uint8_t kRelayField = 0x03;
constexpr size_t kClockAt = 956;
constexpr size_t kClockLength = 7;
constexpr size_t kZoneAt = 966;
constexpr size_t kEndMarkAt = ProgramMemory::kSize - 1;  // the image's last byte
constexpr char kEndMark = 'O';
constexpr char kZoneBase = 'A';
constexpr int kYearBase = 2000;
constexpr uint8_t kStepRelayMask = 0x03;

// Program sentence.
constexpr char kSentenceStart = '$';
constexpr char kSentenceEnd = '*';
constexpr size_t kSentenceOverhead = 4;  // "$", "*" and two checksum digits
constexpr size_t kLengthAt = 4;          // in the payload: after "S" and the address
constexpr size_t kClockInPayload = 6;
constexpr size_t kRuleInPayload = kClockInPayload + kClockLength;
constexpr size_t kCountsFrom = kRuleInPayload + kRuleLength;
constexpr unsigned kByteBits = 8;
constexpr uint8_t kLowByte = 0xFF;

size_t slotOffset(int plan) {
    return kSlotStart + kSlotLength * static_cast<size_t>(plan);
}
size_t annualOffset(size_t index) {
    return kAnnualStart + kAnnualLength * index;
}

uint8_t xorOf(std::string_view bytes) {
    uint8_t x = 0;
    for (char c : bytes) x ^= static_cast<uint8_t>(c);
    return x;
}

std::string hexOf(uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

int dateKey(int year, int month, int day) {
    return (year * 100 + month) * 100 + day;
}

void writeClock(ProgramMemory::Image& image, const LocalDateTime& clock) {
    image[kClockAt] = bcdOf(clock.second);
    image[kClockAt + 1] = bcdOf(clock.minute);
    image[kClockAt + 2] = twelveHourOf(clock.hour);
    image[kClockAt + 3] = bcdOf(clock.weekday);
    image[kClockAt + 4] = bcdOf(clock.day);
    image[kClockAt + 5] = bcdOf(clock.month);
    image[kClockAt + 6] = bcdOf(clock.year - kYearBase);
}

// Reads bytes of a sentence payload one field at a time and never past its end.
class PayloadReader {
  public:
    explicit PayloadReader(std::string_view payload, size_t from) : p_(payload), at_(from) {}
    bool take(size_t count, std::string_view& out) {
        if (at_ + count > p_.size()) return false;
        out = p_.substr(at_, count);
        at_ += count;
        return true;
    }
    bool byte(uint8_t& out) {
        std::string_view b;
        if (!take(1, b)) return false;
        out = static_cast<uint8_t>(b[0]);
        return true;
    }

  private:
    std::string_view p_;
    size_t at_;
};

}  // namespace

ProgramMemory::ProgramMemory(const SimAddress& address, const ZoneRule& zone) {
    std::copy(kMark.begin(), kMark.end(), image_.begin());
    image_[kAddressAt] = bcdOf(address.masterGroup);
    image_[kAddressAt + 1] = bcdOf(address.group);
    image_[kAddressAt + 2] = bcdOf(address.location);
    image_[kZerosAt] = '0';
    image_[kZerosAt + 1] = '0';
    image_[kRuleAt] = bcdOf(zone.startMonth);
    image_[kRuleAt + 1] = bcdOf(zone.startWeek);
    image_[kRuleAt + 2] = bcdOf(zone.endMonth);
    image_[kRuleAt + 3] = bcdOf(zone.endWeek);
    image_[kZoneAt] = static_cast<uint8_t>(kZoneBase + zone.hoursWest);
    image_[kEndMarkAt] = kEndMark;
}

void ProgramMemory::takeImage(std::string_view bytes) {
    if (bytes.size() != kSize) return;
    if (bytes.substr(0, kMark.size()) != kMark) {
        // The station sends zeros for a group it does not know: the program goes, the
        // switch keeps its address and its rule.
        Image kept = image_;
        std::fill(image_.begin() + kSlotStart, image_.begin() + kRuleAt, 0);
        std::fill(image_.begin() + kWeekAt, image_.begin() + kWeekAt + kWeekLength, 0);
        image_[kRelayAt] = kept[kRelayAt];
        return;
    }
    std::copy(bytes.begin(), bytes.end(), image_.begin());
}

bool ProgramMemory::takeSentence(std::string_view bytes) {
    if (bytes.size() < kSentenceOverhead + kCountsFrom || bytes[0] != kSentenceStart) return false;
    size_t star = bytes.size() - 3;
    if (bytes[star] != kSentenceEnd) return false;
    std::string_view payload = bytes.substr(1, star - 1);
    if (payload[0] != 'S') return false;
    size_t length = (static_cast<size_t>(static_cast<uint8_t>(payload[kLengthAt])) << kByteBits) |
                    static_cast<uint8_t>(payload[kLengthAt + 1]);
    if (length != bytes.size()) return false;
    if (bytes.substr(star + 1) != hexOf(xorOf(payload))) return false;

    Image next{};
    std::copy(kMark.begin(), kMark.end(), next.begin());
    std::copy(payload.begin() + 1, payload.begin() + 1 + kAddressLength, next.begin() + kAddressAt);
    next[kZerosAt] = '0';
    next[kZerosAt + 1] = '0';
    std::copy(payload.begin() + kClockInPayload, payload.begin() + kRuleInPayload,
              next.begin() + kClockAt);
    std::copy(payload.begin() + kRuleInPayload, payload.begin() + kCountsFrom,
              next.begin() + kRuleAt);

    PayloadReader r(payload, kCountsFrom);
    uint8_t plans = 0;
    if (!r.byte(plans)) return false;
    for (uint8_t i = 0; i < plans; ++i) {
        uint8_t plan = 0, steps = 0;
        if (!r.byte(plan) || !r.byte(steps)) return false;
        std::string_view stepBytes;
        if (!r.take(size_t{steps} * kStepBytesSent, stepBytes)) return false;
        if (plan < kFirstPlan || plan > kLastPlan) continue;  // no slot to put it in
        for (size_t s = 0; s < steps && s < kStepsPerSlot; ++s)
            for (size_t b = 0; b < kStepBytesSent; ++b)
                next[slotOffset(plan) + s * kStepLength + b] =
                    static_cast<uint8_t>(stepBytes[s * kStepBytesSent + b]);
    }
    uint8_t entries = 0;
    if (!r.byte(entries)) return false;
    for (uint8_t i = 0; i < entries; ++i) {
        std::string_view entry;
        if (!r.take(kAnnualBytesSent, entry)) return false;
        if (i >= kAnnualEntries) continue;
        std::copy(entry.begin(), entry.end(), next.begin() + annualOffset(i));
    }
    std::string_view week;
    if (!r.take(kWeekLength, week)) return false;
    std::copy(week.begin(), week.end(), next.begin() + kWeekAt);
    next[kRelayAt] = image_[kRelayAt];
    next[kZoneAt] = image_[kZoneAt];
    next[kEndMarkAt] = kEndMark;
    image_ = next;
    return true;
}

std::optional<LocalDateTime> ProgramMemory::programClock() const {
    LocalDateTime t;
    t.second = valueOfBcd(image_[kClockAt]);
    t.minute = valueOfBcd(image_[kClockAt + 1]);
    t.hour = hourOfTwelveHour(image_[kClockAt + 2]);
    t.day = valueOfBcd(image_[kClockAt + 4]);
    t.month = valueOfBcd(image_[kClockAt + 5]);
    t.year = valueOfBcd(image_[kClockAt + 6]) + kYearBase;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.minute > 59 || t.second > 59 ||
        image_[kClockAt + 2] == 0)
        return std::nullopt;
    return t;
}

ZoneRule ProgramMemory::zoneOfProgram(const ZoneRule& zone) const {
    ZoneRule z = zone;
    int startMonth = valueOfBcd(image_[kRuleAt]);
    int endMonth = valueOfBcd(image_[kRuleAt + 2]);
    if (startMonth >= 1 && startMonth <= 12 && endMonth >= 1 && endMonth <= 12) {
        z.observesDst = true;
        z.startMonth = startMonth;
        z.startWeek = valueOfBcd(image_[kRuleAt + 1]);
        z.endMonth = endMonth;
        z.endWeek = valueOfBcd(image_[kRuleAt + 3]);
    }
    int west = image_[kZoneAt] - kZoneBase;
    if (west >= 0 && west <= 23) z.hoursWest = west;
    return z;
}

std::string ProgramMemory::imageReply(const LocalDateTime& clock, int relayCode,
                                      char zoneLetter) const {
    Image out = image_;
    writeClock(out, clock);
    out[kRelayAt] =
        static_cast<uint8_t>((out[kRelayAt] & ~kRelayField) | (relayCode & kRelayField));
    out[kZoneAt] = static_cast<uint8_t>(zoneLetter);
    return std::string(out.begin(), out.end());
}

std::string ProgramMemory::sentenceReply(const LocalDateTime& clock, int relayCode) const {
    Image now = image_;
    writeClock(now, clock);
    std::string p;
    p += 'S';
    p.append(now.begin() + kAddressAt, now.begin() + kAddressAt + kAddressLength);
    p.append(2, '\0');  // length, filled in below
    p.append(now.begin() + kClockAt, now.begin() + kClockAt + kClockLength);
    p.append(now.begin() + kRuleAt, now.begin() + kRuleAt + kRuleLength);
    std::string plans;
    int planCount = 0;
    for (int plan = kFirstPlan; plan <= kLastPlan; ++plan) {
        size_t at = slotOffset(plan);
        if (now[at] == 0) continue;
        std::string steps;
        int count = 0;
        for (size_t s = 0; s < kStepsPerSlot && now[at + s * kStepLength] != 0; ++s, ++count)
            steps.append(now.begin() + at + s * kStepLength,
                         now.begin() + at + s * kStepLength + kStepBytesSent);
        plans += static_cast<char>(plan);
        plans += static_cast<char>(count);
        plans += steps;
        ++planCount;
    }
    p += static_cast<char>(planCount);
    p += plans;
    size_t entries = annualCount();
    p += static_cast<char>(entries);
    for (size_t i = 0; i < entries; ++i)
        p.append(now.begin() + annualOffset(i), now.begin() + annualOffset(i) + kAnnualBytesSent);
    p.append(now.begin() + kWeekAt, now.begin() + kWeekAt + kWeekLength);
    p += static_cast<char>(relayCode & kRelayField);
    size_t total = p.size() + kSentenceOverhead;
    p[kLengthAt] = static_cast<char>((total >> kByteBits) & kLowByte);
    p[kLengthAt + 1] = static_cast<char>(total & kLowByte);
    return std::string(1, kSentenceStart) + p + kSentenceEnd + hexOf(xorOf(p));
}

size_t ProgramMemory::annualCount() const {
    size_t n = 0;
    while (n < kAnnualEntries && image_[annualOffset(n)] != 0) ++n;
    return n;
}

int ProgramMemory::planFor(int year, int month, int day, int weekday) const {
    int key = dateKey(year, month, day);
    for (size_t i = 0; i < annualCount(); ++i) {
        size_t at = annualOffset(i);
        int start = dateKey(valueOfBcd(image_[at + 2]) + kYearBase, valueOfBcd(image_[at]),
                            valueOfBcd(image_[at + 1]));
        int end = dateKey(valueOfBcd(image_[at + 5]) + kYearBase, valueOfBcd(image_[at + 3]),
                          valueOfBcd(image_[at + 4]));
        if (key >= start && key <= end) return valueOfBcd(image_[at + 6]);
    }
    if (weekday < 1 || weekday > static_cast<int>(kWeekLength)) return 0;
    return image_[kWeekAt + static_cast<size_t>(weekday - 1)];
}

std::vector<SwitchStep> ProgramMemory::planSteps(int plan) const {
    std::vector<SwitchStep> out;
    if (plan < kFirstPlan || plan > kLastPlan) return out;
    size_t at = slotOffset(plan);
    for (size_t s = 0; s < kStepsPerSlot; ++s) {
        size_t step = at + s * kStepLength;
        if (image_[step] == 0) break;
        int hour = hourOfTwelveHour(image_[step]);
        int minute = valueOfBcd(image_[step + 1]);
        if (hour > 23 || minute > 59) continue;  // a step the switch cannot keep
        out.push_back({hour * 60 + minute, image_[step + 2] & kStepRelayMask});
    }
    return out;
}

}  // namespace quirn::sim
