#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quirn {

// The rules one typed field must keep so that the plan check accepts the record and a save and
// reload of the database files gives it back unchanged. The Plans window runs them while the
// technician types (as validators) and the editor runs them again before every edit, so a value
// the check would refuse never reaches the database.

// A field's verdict: ok, or the problem as a sentence for the technician.
struct FieldCheck {
    bool ok = true;
    std::string problem;

    static FieldCheck fine() { return {}; }
    static FieldCheck bad(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

// Names kept in the comma-separated database files (groups, locations, location types, day
// plans): not empty nor only blanks, at most kMaxRecordNameLength characters, no comma (the
// files have no quoting, so a comma would split the record) and no control character (a line
// break would end it). `what` names the field in the problem ("group name").
inline constexpr size_t kMaxRecordNameLength = 40;
FieldCheck checkRecordName(std::string_view name, const char* what);

// A summer plan's name: its line is read whole, so commas are allowed; not empty, at most
// kMaxRecordNameLength characters, no control character.
FieldCheck checkSummerPlanName(std::string_view name);

// Master group 1..10 when the agency has master groups; otherwise only 1 exists.
FieldCheck checkMasterGroupNumber(int masterGroup, bool hasMasterGroups);
// Group 1..99.
FieldCheck checkGroupNumber(int group);
// Location 1..99; with `zeroForLowestFree` also 0, meaning "the lowest free number".
FieldCheck checkLocationNumber(int location, bool zeroForLowestFree = false);
// Day plans the technician defines: 1..9. Only these keep their steps in the steps file (and
// fit the time switch's day plan slots), so a plan 10..19 would lose its steps on a save.
FieldCheck checkUserDayPlanNumber(int plan);
// Time switch model 0..3 (QN510, MX40, Strider, LR40).
FieldCheck checkModel(int model);
// Strider time code 0..9.
FieldCheck checkStriderTimeCode(int code);

// A connection: the radio ("127.0.0.2"), the M2M client ("127.0.0.1") or a dotted IPv4
// address of one time switch (not the broadcast "0.0.0.0"), as the plan check reads it.
FieldCheck checkConnection(std::string_view connection);
// An IMSI: empty, or 1..kMaxImsiDigits decimal digits.
inline constexpr size_t kMaxImsiDigits = 15;
FieldCheck checkImsi(std::string_view imsi);

// A whole decimal number within [low, high] as typed (blanks around it allowed).
std::optional<int> parseNumberInRange(std::string_view text, int low, int high);
FieldCheck checkNumberText(std::string_view text, int low, int high, const char* what);

// A step time typed as "HH:MM" (or "H:MM"), 00:00..23:59.
struct ClockTime {
    int hour = 0;
    int minute = 0;
};
std::optional<ClockTime> parseStepTime(std::string_view text);
FieldCheck checkStepTime(std::string_view text);
// "07:05".
std::string stepTimeText(int hour, int minute);

}  // namespace quirn
