#include "protocol/TimeCommands.h"

#include <algorithm>
#include <string>

#include "protocol/Base62.h"
#include "protocol/MessageFrame.h"

namespace quirn {

namespace {

constexpr char kTimeDateLetter = 'Z';
constexpr char kTimeLetter = 'T';
constexpr char kTimeDateMark = 'e';
constexpr int kTimeDateYearBase = 2010;
constexpr int kFirstRealYear = 2007;  // earlier stored times are the placeholder
constexpr int kRoundUpAfterSecond = 30;
constexpr int kRoundUpSeconds = 30;
constexpr int kSecondsPerHour = 3600;
constexpr int kEveryone = 0;
// Daylight saving from the 2nd Sunday of March to the 1st Sunday of November ("B" = 11).
constexpr const char* kDaylightSavingRule = "32B1";

}  // namespace

std::vector<int> everyoneMasterGroups(bool hasMasterGroups, const std::vector<int>& existing) {
    if (!hasMasterGroups) return {kFirstMasterGroup};
    std::vector<int> out;
    for (int mg : existing)
        if (mg >= kFirstMasterGroup && mg <= kLastMasterGroup) out.push_back(mg);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

char zoneLetter() {
    return static_cast<char>('A' + standardOffsetWestSeconds() / kSecondsPerHour);
}

TimeDateCommand::TimeDateCommand(const Clock& clock, bool hasMasterGroups,
                                 std::vector<int> existingMasterGroups)
    : PagedCommand(kEveryone, kEveryone, kEveryone, hasMasterGroups),
      clock_(clock),
      existing_(std::move(existingMasterGroups)) {}

TimeDateCommand::TimeDateCommand(int masterGroup, int group, int location, const Clock& clock,
                                 bool hasMasterGroups)
    : PagedCommand(masterGroup, group, location, hasMasterGroups), clock_(clock) {}

std::string TimeDateCommand::dataFor(const LocalDateTime& t) {
    std::string data(1, kTimeDateMark);
    for (int v : {t.year - kTimeDateYearBase, t.month, t.day, t.hour, t.minute, t.second})
        data += base62Digit(v);
    data += zoneLetter();
    data += kDaylightSavingRule;
    return data;
}

std::string TimeDateCommand::bytes() const {
    std::string data = dataFor(toLocal(clock_.now()));
    if (masterGroup() != kEveryone) return frame(kTimeDateLetter, data);
    std::string out;
    for (int mg : everyoneMasterGroups(hasMasterGroups(), existing_))
        out += pagedMessage(masterGroupPrefix(mg, hasMasterGroups()), kTimeDateLetter, kEveryone,
                            kEveryone, data);
    return out;
}

TimeCommand::TimeCommand(const Clock& clock, bool hasMasterGroups,
                         std::vector<int> existingMasterGroups, std::time_t when)
    : PagedCommand(kEveryone, kEveryone, kEveryone, hasMasterGroups),
      clock_(clock),
      existing_(std::move(existingMasterGroups)),
      when_(when) {}

TimeCommand::TimeCommand(int masterGroup, int group, const Clock& clock, bool hasMasterGroups,
                         std::time_t when)
    : PagedCommand(masterGroup, group, kEveryone, hasMasterGroups), clock_(clock), when_(when) {}

LocalDateTime TimeCommand::effectiveTime() const {
    LocalDateTime stored = toLocal(when_);
    if (stored.year >= kFirstRealYear) return stored;
    std::time_t now = clock_.now();
    if (toLocal(now).second > kRoundUpAfterSecond) now += kRoundUpSeconds;
    return toLocal(now);
}

std::string TimeCommand::bytes() const {
    LocalDateTime t = effectiveTime();
    std::string data = std::to_string(t.weekday) + timePair(t.hour, t.minute);
    if (masterGroup() != kEveryone)
        return pagedMessage(prefix(), kTimeLetter, group(), kEveryone, data);
    std::string out;
    for (int mg : everyoneMasterGroups(hasMasterGroups(), existing_))
        out += pagedMessage(masterGroupPrefix(mg, hasMasterGroups()), kTimeLetter, kEveryone,
                            kEveryone, data);
    return out;
}

}  // namespace quirn
