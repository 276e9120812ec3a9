#include "planedit/PlanFieldRules.h"

#include <cstdio>

#include "plans/ConnectionAddress.h"
#include "plans/PlanTypes.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;
constexpr int kMaxModel = static_cast<int>(TimeSwitchModel::LR40);
constexpr int kMaxStriderCode = 9;
// Digits a typed number may have: enough for every field, few enough never to overflow.
constexpr size_t kMaxNumberDigits = 9;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7f;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string rangeText(int low, int high) {
    return std::to_string(low) + ".." + std::to_string(high);
}

bool hasControlCharacter(std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < kFirstPrintable || u == kDelete) return true;
    }
    return false;
}

// The rules common to every name: present, bounded, on one line.
FieldCheck checkNameBasics(std::string_view name, const std::string& what) {
    if (trimBlanks(name).empty()) return FieldCheck::bad("The " + what + " is empty.");
    if (name.size() > kMaxRecordNameLength)
        return FieldCheck::bad("The " + what + " is longer than " +
                               std::to_string(kMaxRecordNameLength) + " characters.");
    if (hasControlCharacter(name))
        return FieldCheck::bad("The " + what + " holds a line break or another control character.");
    return FieldCheck::fine();
}

// Digits only, at most `most` of them, at least one.
std::optional<int> parseDigits(std::string_view s, size_t most) {
    if (s.empty() || s.size() > most) return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

FieldCheck checkRecordName(std::string_view name, const char* what) {
    FieldCheck basics = checkNameBasics(name, what);
    if (!basics) return basics;
    if (name.find(',') != std::string_view::npos)
        return FieldCheck::bad(std::string("The ") + what +
                               " holds a comma, which would split its line in the database files.");
    return FieldCheck::fine();
}

FieldCheck checkSummerPlanName(std::string_view name) {
    return checkNameBasics(name, "summer plan name");
}

FieldCheck checkMasterGroupNumber(int masterGroup, bool hasMasterGroups) {
    if (!hasMasterGroups && masterGroup != kMinMasterGroup)
        return FieldCheck::bad("This agency has no master groups: every group is in master group " +
                               std::to_string(kMinMasterGroup) + ".");
    if (masterGroup < kMinMasterGroup || masterGroup > kMaxMasterGroup)
        return FieldCheck::bad("Master group " + std::to_string(masterGroup) + " is outside " +
                               rangeText(kMinMasterGroup, kMaxMasterGroup) + ".");
    return FieldCheck::fine();
}

FieldCheck checkGroupNumber(int group) {
    if (group < kMinGroup || group > kMaxGroup)
        return FieldCheck::bad("Group " + std::to_string(group) + " is outside " +
                               rangeText(kMinGroup, kMaxGroup) + ".");
    return FieldCheck::fine();
}

FieldCheck checkLocationNumber(int location, bool zeroForLowestFree) {
    if (zeroForLowestFree && location == 0) return FieldCheck::fine();
    if (location < kMinLocation || location > kMaxLocation)
        return FieldCheck::bad("Location " + std::to_string(location) + " is outside " +
                               rangeText(kMinLocation, kMaxLocation) + ".");
    return FieldCheck::fine();
}

FieldCheck checkUserDayPlanNumber(int plan) {
    if (plan < kPlanNormal || plan > kMaxStoredStepsPlan)
        return FieldCheck::bad("Day plan " + std::to_string(plan) + " is outside " +
                               rangeText(kPlanNormal, kMaxStoredStepsPlan) +
                               ": only these day plans keep their steps.");
    return FieldCheck::fine();
}

FieldCheck checkModel(int model) {
    if (model < 0 || model > kMaxModel)
        return FieldCheck::bad("Model " + std::to_string(model) +
                               " is no time switch model (0 QN510, 1 MX40, 2 Strider, 3 LR40).");
    return FieldCheck::fine();
}

FieldCheck checkStriderTimeCode(int code) {
    if (code < 0 || code > kMaxStriderCode)
        return FieldCheck::bad("The Strider time code " + std::to_string(code) + " is outside " +
                               rangeText(0, kMaxStriderCode) + ".");
    return FieldCheck::fine();
}

FieldCheck checkConnection(std::string_view connection) {
    if (isTimeSwitchConnection(connection)) return FieldCheck::fine();
    if (connection == kBroadcastAddress)
        return FieldCheck::bad("0.0.0.0 is the address of every link, not of one time switch.");
    return FieldCheck::bad(
        "The connection is neither the radio (127.0.0.2), the M2M client "
        "(127.0.0.1) nor an IPv4 address such as 192.0.2.10.");
}

FieldCheck checkImsi(std::string_view imsi) {
    if (imsi.empty()) return FieldCheck::fine();
    if (imsi.size() > kMaxImsiDigits)
        return FieldCheck::bad("The IMSI is longer than " + std::to_string(kMaxImsiDigits) +
                               " digits.");
    for (char c : imsi)
        if (!isDigit(c)) return FieldCheck::bad("The IMSI holds something other than digits.");
    return FieldCheck::fine();
}

std::optional<int> parseNumberInRange(std::string_view text, int low, int high) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    std::optional<int> digits = parseDigits(s, kMaxNumberDigits);
    if (!digits) return std::nullopt;
    const int value = negative ? -*digits : *digits;
    if (value < low || value > high) return std::nullopt;
    return value;
}

FieldCheck checkNumberText(std::string_view text, int low, int high, const char* what) {
    if (parseNumberInRange(text, low, high)) return FieldCheck::fine();
    return FieldCheck::bad(std::string("The ") + what + " must be a whole number " +
                           rangeText(low, high) + ".");
}

std::optional<ClockTime> parseStepTime(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<int> hour = parseDigits(text.substr(0, colon), 2);
    const std::string_view minuteText = text.substr(colon + 1);
    if (minuteText.size() != 2) return std::nullopt;
    const std::optional<int> minute = parseDigits(minuteText, 2);
    if (!hour || !minute || *hour >= kHoursPerDay || *minute >= kMinutesPerHour)
        return std::nullopt;
    return ClockTime{*hour, *minute};
}

FieldCheck checkStepTime(std::string_view text) {
    if (parseStepTime(text)) return FieldCheck::fine();
    return FieldCheck::bad("A time is written HH:MM, 00:00..23:59.");
}

std::string stepTimeText(int hour, int minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    return text;
}

}  // namespace quirn
