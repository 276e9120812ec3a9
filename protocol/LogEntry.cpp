#include "protocol/LogEntry.h"

#include <array>

#include "protocol/Base62.h"
#include "protocol/DaySet.h"
#include "protocol/MessageFrame.h"

namespace quirn {

namespace {

// A message runs from its "@" through its "#" and the four checksum characters behind it, so
// ("#" position - "@" position + 5) characters. One more would take in the first character of
// whatever follows, often the next message's "@".
constexpr size_t kChecksumLength = 4;
constexpr size_t kLetterAt = 1;
constexpr size_t kGroupAt = 2;
constexpr size_t kLocationAt = 4;
constexpr size_t kDataAt = 6;
constexpr size_t kTripletLength = 3;
constexpr int kDecimal = 10;
constexpr size_t kMinWeekLength = 11;       // "@D0102#" and the checksum: a 'D' with no steps
constexpr int kMasterGroupCharOffset = 47;  // "1" is master group 2

// How each letter passes its kind check: a minimum length, or the end mark at a position.
struct KindRule {
    char letter;
    LogKind kind;
    size_t minLength;  // 0 when the end mark position decides
    size_t endMarkAt;
};

constexpr std::array<KindRule, 7> kKindRules = {{
    {'D', LogKind::DefaultWeek, kMinWeekLength, 0},
    {'W', LogKind::Week, kMinWeekLength, 0},
    {'O', LogKind::Override, kMinWeekLength, 0},
    {'M', LogKind::Manual, 0, 7},
    {'R', LogKind::Read, 0, 6},
    {'T', LogKind::Time, 0, 9},
    {'G', LogKind::GpsTime, 0, 12},
}};

bool carriesSteps(LogKind k) {
    return k == LogKind::DefaultWeek || k == LogKind::Week || k == LogKind::Override;
}

LogKind kindOf(std::string_view s) {
    if (s.size() <= kLetterAt) return LogKind::Undecodable;
    for (const KindRule& r : kKindRules) {
        if (r.letter != s[kLetterAt]) continue;
        bool ok = r.minLength != 0 ? s.size() >= r.minLength
                                   : s.size() > r.endMarkAt && s[r.endMarkAt] == kPagedEnd;
        return ok ? r.kind : LogKind::Undecodable;
    }
    return LogKind::Undecodable;
}

// Two decimal digits at `at`, or -1.
int twoDigits(std::string_view s, size_t at) {
    if (s.size() < at + 2) return -1;
    char a = s[at], b = s[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * kDecimal + (b - '0');
}

void addTriplets(std::string_view s, LogEntry& e) {
    size_t end = s.find(kPagedEnd, kDataAt);
    if (end == std::string_view::npos) end = s.size();
    for (size_t i = kDataAt; i + kTripletLength <= end; i += kTripletLength) {
        auto pair = decodePair(s[i + 1], s[i + 2]);
        if (!pair) continue;  // an unreadable triplet adds nothing; the next one still counts
        size_t minute = static_cast<size_t>(pair->hour * kMinutesPerHour + pair->minute);
        (pair->on ? e.onMasks : e.offMasks)[minute] |= dayLetterMask(s[i]);
    }
}

std::vector<Qn510Tables::Entry> tableEntries(const LogEntry& e) {
    std::vector<Qn510Tables::Entry> out;
    for (size_t m = 0; m < kMinutesPerDayTable; ++m) {
        auto hour = static_cast<uint8_t>(m / kMinutesPerHour);
        auto minute = static_cast<uint8_t>(m % kMinutesPerHour);
        uint8_t on = static_cast<uint8_t>(e.onMasks[m] & kAllDaysMask);
        uint8_t off = static_cast<uint8_t>(e.offMasks[m] & kAllDaysMask);
        if (on) out.push_back({on, static_cast<uint8_t>(hour | Qn510Tables::kOnBit), minute});
        if (off) out.push_back({off, hour, minute});
    }
    return out;
}

}  // namespace

bool LogEntry::hasSteps() const {
    for (size_t m = 0; m < kMinutesPerDayTable; ++m)
        if ((onMasks[m] | offMasks[m]) & kAllDaysMask) return true;
    return false;
}

LogEntry decodeMessage(std::string_view message) {
    LogEntry e;
    e.text = std::string(message);
    if (message.empty() || message[0] != kPagedStart) return e;

    std::string s(message);
    if (s.size() > 1) {
        char c = s[1];
        if (c >= '1' && c <= '9') {
            e.prefix = c;
            e.masterGroup = c - kMasterGroupCharOffset;
            s.erase(1, 1);
        } else if (c >= 'a' && c <= 'w') {
            e.prefix = c;
            s.erase(1, 1);
        }
    }
    e.group = twoDigits(s, kGroupAt);
    e.location = twoDigits(s, kLocationAt);
    e.kind = kindOf(s);
    if (carriesSteps(e.kind)) addTriplets(s, e);
    return e;
}

std::vector<LogEntry> decodeText(std::string_view text) {
    std::vector<LogEntry> out;
    size_t start = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kPagedStart) {
            start = i;
        } else if (text[i] == kPagedEnd && start != std::string_view::npos &&
                   text.size() - i - 1 >= kChecksumLength) {
            out.push_back(decodeMessage(text.substr(start, i - start + 1 + kChecksumLength)));
            start = std::string_view::npos;  // each "@" starts one message only
        }
    }
    return out;
}

bool applyTo(const LogEntry& entry, Qn510Tables& image) {
    using T = Qn510Tables;
    uint8_t flags = image.flags();
    switch (entry.kind) {
        case LogKind::DefaultWeek:
            image.clearTable(T::Table::Alternate);
            image.setFlags(flags & ~(T::kAlternateActive | T::kOverrideActive));
            image.writeTable(T::Table::Default, tableEntries(entry));
            return true;
        case LogKind::Week:
            image.setFlags((flags & ~T::kOverrideActive) | T::kAlternateActive);
            image.writeTable(T::Table::Alternate, tableEntries(entry));
            return true;
        case LogKind::Override:
            if (!entry.hasSteps()) return false;
            image.setFlags(flags | T::kOverrideActive);
            image.writeTable(T::Table::Override, tableEntries(entry));
            return true;
        default:
            return false;
    }
}

}  // namespace quirn
