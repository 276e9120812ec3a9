#pragma once
#include <ctime>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/CommandVorn.h"

namespace quirn {

// The master groups that a message "to everyone" goes to, ascending: the existing ones within
// 1..10 when the agency has master groups, else master group 1 alone.
std::vector<int> everyoneMasterGroups(bool hasMasterGroups, const std::vector<int>& existing);

// Zone letter: "A" + the standard-time offset west of UTC in whole hours (the daylight-saving
// rule travels separately, so the letter never changes with the season).
char zoneLetter();

// 'Z': the full date, time and zone of the current local time.
class TimeDateCommand : public PagedCommand {
  public:
    // To everyone: one message per master group, group and location "00".
    TimeDateCommand(const Clock& clock, bool hasMasterGroups,
                    std::vector<int> existingMasterGroups);
    // To one location (masterGroup must not be 0, or it is taken as "to everyone").
    TimeDateCommand(int masterGroup, int group, int location, const Clock& clock,
                    bool hasMasterGroups);

    std::string bytes() const override;
    // The data after the location field for a local time.
    static std::string dataFor(const LocalDateTime& local);

  private:
    const Clock& clock_;
    std::vector<int> existing_;
};

// 'T': weekday and time of day. Location field always "00".
class TimeCommand : public PagedCommand {
  public:
    // To everyone: one message per master group, group "00".
    TimeCommand(const Clock& clock, bool hasMasterGroups, std::vector<int> existingMasterGroups,
                std::time_t when = neverTime());
    // To one group of one master group.
    TimeCommand(int masterGroup, int group, const Clock& clock, bool hasMasterGroups,
                std::time_t when = neverTime());

    std::string bytes() const override;
    // The time sent: the stored one, or, when it is before 2007 (the placeholder), now with 30
    // seconds added when the second is above 30, so the switch rounds to the nearer minute.
    LocalDateTime effectiveTime() const;

  private:
    const Clock& clock_;
    std::vector<int> existing_;
    std::time_t when_;
};

}  // namespace quirn
