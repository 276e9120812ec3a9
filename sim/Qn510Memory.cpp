#include "sim/Qn510Memory.h"

#include <algorithm>

#include "protocol/Checksums.h"

namespace quirn::sim {

namespace {

constexpr char kReplyKind = 'S';
constexpr int kMinutesPerHourInt = 60;

// Raw image layout.
constexpr size_t kMarkU = 3;
constexpr size_t kMarkAA = 4;
constexpr size_t kWeekdayAt = 5;
constexpr size_t kFlagsAt = 9;
constexpr std::array<size_t, 3> kTableAt = {10, 265, 520};
constexpr size_t kMarkX = 775;
constexpr uint8_t kAA = 0xAA;

uint8_t dayBit(int weekday) {
    return weekday >= 1 && weekday <= 7 ? static_cast<uint8_t>(1u << (weekday - 1)) : 0;
}

}  // namespace

std::string compactReplyChecksum(const std::string& bytes) {
    // The checksum and its written form are the protocol's, shared as the framing is.
    return checksumText(replyChecksum(bytes));
}

void Qn510Memory::fill(Table t, const MinuteMasks& on, const MinuteMasks& off) {
    std::vector<Entry>& out = tables_[static_cast<size_t>(t)];
    out.clear();
    for (size_t m = 0; m < on.size() && out.size() < kMaxEntries; ++m) {
        auto hour = static_cast<uint8_t>(m / kMinutesPerHourInt);
        auto minute = static_cast<uint8_t>(m % kMinutesPerHourInt);
        auto onDays = static_cast<uint8_t>(on[m] & kAllDays);
        auto offDays = static_cast<uint8_t>(off[m] & kAllDays);
        if (onDays) out.push_back({onDays, static_cast<uint8_t>(hour | kOnBit), minute});
        if (offDays && out.size() < kMaxEntries) out.push_back({offDays, hour, minute});
    }
}

void Qn510Memory::takeDefaultWeek(const MinuteMasks& on, const MinuteMasks& off) {
    tables_[static_cast<size_t>(Table::Alternate)].clear();
    flags_ &= static_cast<uint8_t>(~(kAlternateActive | kOverrideActive));
    fill(Table::Default, on, off);
}

void Qn510Memory::takeAlternateWeek(const MinuteMasks& on, const MinuteMasks& off) {
    flags_ = static_cast<uint8_t>((flags_ & ~kOverrideActive) | kAlternateActive);
    fill(Table::Alternate, on, off);
}

void Qn510Memory::takeOverride(const MinuteMasks& on, const MinuteMasks& off) {
    flags_ |= kOverrideActive;
    fill(Table::Override, on, off);
}

void Qn510Memory::dropOverride() {
    tables_[static_cast<size_t>(Table::Override)].clear();
    endOverride();
}

Qn510Memory::Table Qn510Memory::activeTable() const {
    if (flags_ & kOverrideActive) return Table::Override;
    if (flags_ & kAlternateActive) return Table::Alternate;
    return Table::Default;
}

std::vector<Qn510Memory::Entry> Qn510Memory::stepsFor(int weekday) const {
    std::vector<Entry> out;
    uint8_t bit = dayBit(weekday);
    for (const Entry& e : table(activeTable()))
        if (e.days & bit) out.push_back(e);
    std::stable_sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
        return a.minuteOfDay() < b.minuteOfDay();
    });
    return out;
}

uint8_t Qn510Memory::flagsWithRelay() const {
    return static_cast<uint8_t>((flags_ & ~kRelayOnFlag) | (relayOn_ ? kRelayOnFlag : 0));
}

std::string Qn510Memory::compactReply(const LocalDateTime& clock, char version) const {
    std::string out;
    out += kReplyKind;
    out += static_cast<char>(clock.weekday);
    out += static_cast<char>(clock.hour);
    out += static_cast<char>(clock.minute);
    out += '\0';
    out += static_cast<char>(flagsWithRelay());
    out += version;
    out += '\0';
    out += '\0';
    for (const auto& t : tables_) {
        out += static_cast<char>(t.size());
        for (const Entry& e : t) {
            out += static_cast<char>(e.days);
            out += static_cast<char>(e.hour);
            out += static_cast<char>(e.minute);
        }
    }
    return out + compactReplyChecksum(out);
}

std::string Qn510Memory::rawImage(const LocalDateTime& clock) const {
    std::string out(kImageSize, '\0');
    out[kMarkU] = 'U';
    out[kMarkAA] = static_cast<char>(kAA);
    out[kWeekdayAt] = static_cast<char>(clock.weekday);
    out[kWeekdayAt + 1] = static_cast<char>(clock.hour);
    out[kWeekdayAt + 2] = static_cast<char>(clock.minute);
    out[kFlagsAt] = static_cast<char>(flagsWithRelay());
    for (size_t t = 0; t < tables_.size(); ++t) {
        size_t at = kTableAt[t];
        for (const Entry& e : tables_[t]) {
            out[at++] = static_cast<char>(e.days);
            out[at++] = static_cast<char>(e.hour);
            out[at++] = static_cast<char>(e.minute);
        }
    }
    out[kMarkX] = 'X';
    return out;
}

}  // namespace quirn::sim
