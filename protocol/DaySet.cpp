#include "protocol/DaySet.h"

#include <array>

namespace quirn {

namespace {

constexpr unsigned kSendSunday = 64;
constexpr unsigned kSendSaturday = 1;
constexpr unsigned kWeekdayShift = 1;    // Monday..Friday sit in bits 5..1
constexpr unsigned kWeekdayBits = 0x1F;  // after the shift: Monday 16 .. Friday 1
constexpr unsigned kMaskCount = 128;
constexpr unsigned kMondayTuesdayThursday = 0x1A;  // Mon 16 + Tue 8 + Thu 2
constexpr char kNoStep = ' ';
constexpr char kEmptyMask = 'o';

// Letters of the Monday-Friday part, indexed by Monday 16, Tuesday 8, Wednesday 4,
// Thursday 2, Friday 1.
constexpr std::array<std::string_view, 32> kWeekdayLetters = {
    "",   "H",   "G",  "GH",  "F",  "FH",  "FG",  "S",  // none / Wed-Thu-Fri combinations
    "E",  "EH",  "Q",  "QH",  "EF", "EFH", "QF",  "K",  // Tuesday ...
    "D",  "DH",  "DG", "DGH", "DF", "P",   "DFG", "L",  // Monday, no Tuesday
    "DE", "DEH", "DQ", "M",   "R",  "N",   "O",   "A",  // Monday and Tuesday
};

// Monday, Tuesday and Thursday behind a leading "J" or "C" are written the other way round.
constexpr std::string_view kMonTueThuAfterWeekend = "QD";

// The letters of every send-order mask, built once at compile time into fixed slots.
struct LetterTable {
    std::array<std::array<char, 8>, kMaskCount> letters{};
    std::array<unsigned char, kMaskCount> lengths{};
};

constexpr LetterTable buildLetterTable() {
    LetterTable t{};
    for (unsigned mask = 1; mask < kMaskCount; ++mask) {
        auto& out = t.letters[mask];
        unsigned n = 0;
        auto put = [&](std::string_view s) {
            for (char c : s) out[n++] = c;
        };
        if (mask == kAllDaysMask) {
            put("B");
        } else {
            bool sunday = mask & kSendSunday;
            bool saturday = mask & kSendSaturday;
            unsigned weekdays = (mask >> kWeekdayShift) & kWeekdayBits;
            if (sunday) put(saturday ? "C" : "J");
            if (sunday && weekdays == kMondayTuesdayThursday)
                put(kMonTueThuAfterWeekend);
            else
                put(kWeekdayLetters[weekdays]);
            if (saturday && !sunday) put("I");
        }
        t.lengths[mask] = static_cast<unsigned char>(n);
    }
    return t;
}

constexpr LetterTable kLetterTable = buildLetterTable();

// QN510 mask texts: position 1 is worth 64 (Saturday) ... position 7 is worth 1 (Sunday).
constexpr std::array<std::string_view, 19> kLetterMaskTexts = {
    "0111110",  // A Monday-Friday
    "1111111",  // B every day
    "1000001",  // C Saturday and Sunday
    "0000010",  // D Monday
    "0000100",  // E Tuesday
    "0001000",  // F Wednesday
    "0010000",  // G Thursday
    "0100000",  // H Friday
    "1000000",  // I Saturday
    "0000001",  // J Sunday
    "0111100",  // K Tuesday-Friday
    "0111010",  // L Monday, Wednesday, Thursday, Friday
    "0110110",  // M Monday, Tuesday, Thursday, Friday
    "0101110",  // N Monday, Tuesday, Wednesday, Friday
    "0011110",  // O Monday-Thursday
    "0101010",  // P Monday, Wednesday, Friday
    "0010100",  // Q Tuesday, Thursday
    "0001110",  // R Monday-Wednesday
    "0111000",  // S Wednesday-Friday
};

constexpr unsigned maskOfText(std::string_view text) {
    unsigned v = 0;
    for (char c : text) v = (v << 1) | (c == '1' ? 1u : 0u);
    return v;
}

}  // namespace

unsigned sendDayBit(int weekday) {
    if (weekday < 1 || weekday > kDaysPerWeek) return 0;
    return kSendSunday >> (weekday - 1);
}

unsigned qn510DayBit(int weekday) {
    if (weekday < 1 || weekday > kDaysPerWeek) return 0;
    return 1u << (weekday - 1);
}

std::string_view dayLetters(unsigned mask) {
    if (mask == 0 || mask >= kMaskCount) return {};
    return {kLetterTable.letters[mask].data(), kLetterTable.lengths[mask]};
}

std::string daySetText(unsigned mask, std::string_view pair) {
    if (pair.empty() || mask >= kMaskCount) return std::string(1, kNoStep);
    if (mask == 0) return std::string(1, kEmptyMask);
    std::string out;
    for (char letter : dayLetters(mask)) {
        out += letter;
        out.append(pair);
    }
    return out;
}

unsigned dayLetterMask(char letter) {
    if (letter < 'A' || letter >= static_cast<char>('A' + kLetterMaskTexts.size())) return 0;
    return maskOfText(kLetterMaskTexts[static_cast<size_t>(letter - 'A')]);
}

}  // namespace quirn
