#include "protocol/Qn510Tables.h"

#include <algorithm>

namespace quirn {

namespace {

constexpr uint8_t kU = 'U';
constexpr uint8_t kAA = 0xAA;
constexpr uint8_t kX = 'X';
constexpr size_t kLeadingZeros = 3;

}  // namespace

Qn510Tables Qn510Tables::fresh(const LocalDateTime& clock) {
    Qn510Tables t;
    t.bytes_[kMarkU] = kU;
    t.bytes_[kMarkAA] = kAA;
    t.bytes_[kWeekday] = static_cast<uint8_t>(clock.weekday);
    t.bytes_[kHour] = static_cast<uint8_t>(clock.hour);
    t.bytes_[kMinute] = static_cast<uint8_t>(clock.minute);
    t.bytes_[kMarkX] = kX;
    return t;
}

bool Qn510Tables::isValid() const {
    for (size_t i = 0; i < kLeadingZeros; ++i)
        if (bytes_[i] != 0) return false;
    return bytes_[kMarkU] == kU && bytes_[kMarkX] == kX;
}

size_t Qn510Tables::offsetOf(Table table) {
    switch (table) {
        case Table::Default:
            return kDefaultTable;
        case Table::Alternate:
            return kAlternateTable;
        case Table::Override:
            return kOverrideTable;
    }
    return kDefaultTable;
}

std::vector<Qn510Tables::Entry> Qn510Tables::entries(Table table) const {
    std::vector<Entry> out;
    size_t base = offsetOf(table);
    for (size_t i = 0; i < kMaxEntries; ++i) {
        size_t at = base + i * kEntryLength;
        if (bytes_[at] == 0) break;
        out.push_back({bytes_[at], bytes_[at + 1], bytes_[at + 2]});
    }
    return out;
}

void Qn510Tables::clearTable(Table table) {
    size_t base = offsetOf(table);
    std::fill(bytes_.begin() + base, bytes_.begin() + base + kTableLength, 0);
}

size_t Qn510Tables::writeTable(Table table, const std::vector<Entry>& entries) {
    clearTable(table);
    size_t base = offsetOf(table);
    size_t n = std::min(entries.size(), kMaxEntries);
    for (size_t i = 0; i < n; ++i) {
        size_t at = base + i * kEntryLength;
        bytes_[at] = entries[i].days;
        bytes_[at + 1] = entries[i].hour;
        bytes_[at + 2] = entries[i].minute;
    }
    return n;
}

}  // namespace quirn
