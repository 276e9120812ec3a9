#include "sim/PagedSteps.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace quirn::sim {

namespace {

constexpr std::size_t kTriplet = 3;
constexpr int kHours = 24;
constexpr int kMinutes = 60;

// Day bits as the switch keeps them: bit 0 Sunday, bit 1 Monday ... bit 6 Saturday.
constexpr uint32_t kSun = 1u << 0, kMon = 1u << 1, kTue = 1u << 2, kWed = 1u << 3, kThu = 1u << 4,
                   kFri = 1u << 5, kSat = 1u << 6;

constexpr std::array<uint32_t, 19> kDayLetters = {
    kMon | kTue | kWed | kThu | kFri,                // A
    kSun | kMon | kTue | kWed | kThu | kFri | kSat,  // B
    kSat | kSun,                                     // C
    kMon,
    kTue,
    kWed,
    kThu,
    kFri,
    kSat,
    kSun,                       // D..J
    kTue | kWed | kThu | kFri,  // K
    kMon | kWed | kThu | kFri,  // L
    kMon | kTue | kThu | kFri,  // M
    kMon | kTue | kWed | kFri,  // N
    kMon | kTue | kWed | kThu,  // O
    kMon | kWed | kFri,         // P
    kTue | kThu,                // Q
    kMon | kTue | kWed,         // R
    kWed | kThu | kFri,         // S
};

uint32_t daysOf(char letter) {
    if (letter < 'A' || letter >= 'A' + static_cast<int>(kDayLetters.size())) return 0;
    return kDayLetters[static_cast<std::size_t>(letter - 'A')];
}

int minuteDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return 10 + (c - 'A');
    if (c >= 'a' && c <= 'z') return 36 + (c - 'a');
    return -1;
}

}  // namespace

bool PagedSteps::any() const {
    for (std::size_t m = 0; m < on.size(); ++m)
        if (on[m] != 0 || off[m] != 0) return true;
    return false;
}

PagedSteps readPagedSteps(std::string_view data) {
    PagedSteps steps;
    for (std::size_t i = 0; i + kTriplet <= data.size(); i += kTriplet) {
        const uint32_t days = daysOf(data[i]);
        const char hourChar = data[i + 1];
        const bool on = hourChar >= 'A' && hourChar < 'A' + kHours;
        const bool off = hourChar >= 'a' && hourChar < 'a' + kHours;
        const int minute = minuteDigit(data[i + 2]);
        if (days == 0 || (!on && !off) || minute < 0 || minute >= kMinutes) continue;
        const int hour = on ? hourChar - 'A' : hourChar - 'a';
        (on ? steps.on : steps.off)[static_cast<std::size_t>(hour * kMinutes + minute)] |= days;
    }
    return steps;
}

}  // namespace quirn::sim
