#include "protocol/PagedCommands.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "protocol/Base62.h"
#include "protocol/MessageFrame.h"

namespace quirn {

namespace {

constexpr char kManualLetter = 'M';
constexpr char kReadLetter = 'R';
constexpr char kOverrideLetter = 'O';
constexpr char kLogRequestLetter = 'B';
constexpr char kLogClearLetter = 'C';
constexpr char kDelayLetter = 'E';
constexpr char kReadPrefix = 'X';
constexpr const char* kReadData = "o";
constexpr const char* kNoOverride = "d";
constexpr char kEveryDayLetter = 'B';
constexpr int kMaxStriderCode = 9;
constexpr int kCommandOn = 1;

// Reported delay in seconds -> code; the switch reports 45 for code 4.
constexpr std::array<std::pair<int, int>, 9> kDelaySeconds = {{
    {20, 1},
    {25, 2},
    {30, 3},
    {45, 4},
    {50, 5},
    {60, 6},
    {70, 7},
    {80, 8},
    {90, 9},
}};

// Override store states in which an override is in force.
constexpr std::array<int, 3> kActiveOverrideStates = {2, 3, 4};

}  // namespace

std::string ManualCommand::bytes() const {
    return frame(kManualLetter, relayOn_ ? "1" : "0");
}

std::string ReadCommand::bytes() const {
    std::string body = pagedBody(prefix(), kReadLetter, group(), location(), kReadData);
    if (body.empty()) return body;
    return kReadPrefix + body;
}

std::string OverrideCommand::bytes() const {
    if (data_.empty()) return {};
    return frame(kOverrideLetter, data_);
}

bool OverrideCommand::isActiveState(int state) {
    return std::find(kActiveOverrideStates.begin(), kActiveOverrideStates.end(), state) !=
           kActiveOverrideStates.end();
}

std::string OverrideCommand::dataFor(bool hasEntry, bool active, std::span<const PlanStep> steps) {
    if (!hasEntry) return kNoOverride;
    if (!active) return {};
    std::vector<PlanStep> sorted;
    for (const PlanStep& s : steps)
        if (isSendable(s)) sorted.push_back(s);
    std::stable_sort(sorted.begin(), sorted.end(), [](const PlanStep& a, const PlanStep& b) {
        return a.hour * kMinutesPerHour + a.minute < b.hour * kMinutesPerHour + b.minute;
    });
    std::string data;
    for (const PlanStep& s : sorted) {
        data += kEveryDayLetter;
        data += stepPair(s.hour, s.minute, s.command == kCommandOn);
    }
    return data;
}

PasswayLogRequestCommand::PasswayLogRequestCommand(int masterGroup, int group, int location,
                                                   int block, bool hasMasterGroups)
    : PasswayCommand(masterGroup, group, location, hasMasterGroups),
      block_(((block % kBlockCount) + kBlockCount) % kBlockCount) {}

std::string PasswayLogRequestCommand::bytes() const {
    return frame(kLogRequestLetter, std::to_string(block_));
}

std::string PasswayLogClearCommand::bytes() const {
    return frame(kLogClearLetter, "");
}

DelayTimeCommand::DelayTimeCommand(int masterGroup, int group, int location, int striderCode,
                                   bool hasMasterGroups)
    : PasswayCommand(masterGroup, group, location, hasMasterGroups),
      code_(static_cast<char>(
          '0' + (striderCode >= 0 && striderCode <= kMaxStriderCode ? striderCode : 0))) {}

std::string DelayTimeCommand::bytes() const {
    return frame(kDelayLetter, std::string(1, code_));
}

size_t PageAllCommand::build(char* buffer, size_t capacity) const {
    return copyWhole(bytes(), buffer, capacity, true);
}

int striderCodeFromSeconds(int seconds) {
    for (const auto& [s, code] : kDelaySeconds)
        if (s == seconds) return code;
    return 0;
}

}  // namespace quirn
