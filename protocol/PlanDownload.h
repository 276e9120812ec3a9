#pragma once
#include <cstddef>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/Clock.h"
#include "protocol/PlanSources.h"
#include "protocol/ProgramImage.h"
#include "protocol/SpecialWeek.h"
#include "protocol/WeekCommands.h"

namespace quirn {

// Turns a group's programming into what programs its time switches: the 968-byte image of
// the MX40 and LR40, the 'S' sentence, and the paged 'T', 'D', 'W', 'O' (and Strider 'E')
// texts. Keeps, per group, the list of paged texts last built for it, which the validation
// replays to know what a QN510 should hold.
class PlanDownload {
  public:
    // `overrides` and `summer` may be null: no group has an override, no location a summer plan.
    // The master-groups switch is read from `settings` at every build, so programming built
    // after the technician turns it on or off is addressed the new way at once.
    PlanDownload(PlanDatabase& db, const Clock& clock, const Settings& settings,
                 const OverrideSource* overrides = nullptr, const SummerSource* summer = nullptr);

    // Receives the lines this class writes to the System log (none are written without it).
    void setSystemLog(std::function<void(const std::string&)> log) { systemLog_ = std::move(log); }

    // Rebuilds the group's image in group.programImage() and its list of paged texts. A group
    // without an override entry whose image is marked built only gets byte 6 cleared and its
    // clock refreshed.
    void buildImage(Group& group);
    // buildImage, then the location's number into byte 6; returns the result.
    ProgramImage buildImageFor(Group& group, int location);
    // The image for a location's own numbers; a freshly initialised one when its group is gone.
    ProgramImage imageFor(const Location& location);

    // The complete programming of one location by its model, appended message by message into
    // buffer while whole messages fit in `capacity`. Returns the bytes written.
    size_t locationProgram(const Location& location, char* buffer, size_t capacity);
    // 'D' and 'W' of the group to location "00"; nothing unless the group exists and has a
    // QN510 location.
    size_t groupProgram(int masterGroup, int group, char* buffer, size_t capacity);
    // The 'W' of the special-week scan over the current week, addressed to a location.
    SpecialWeekCommand currentWeekCommand(const Group& group, int location) const;
    // The 'W' text covering the week of `date` (empty when none is needed or no such group).
    std::string specialWeekText(int masterGroup, int group, int location, std::time_t date);

    // The group's paged texts from the last buildImage ('D', override, special week).
    std::vector<std::string> pagedTexts(int masterGroup, int group) const;

    // Single texts and facts used above and by the validation.
    std::string defaultWeekText(const Group& group, int location, std::time_t date) const;
    std::string overrideText(const Group& group) const;
    std::string summerWeekText(const Location& location) const;
    bool summerInEffect(const Location& location) const;
    OverrideState overrideOf(int masterGroup, int group) const;
    // 'D' text of the group for a date when an annual plan starts on it or ended the day before.
    std::string annualChangeText(const Group& group, std::time_t date) const;
    // The image slot an active override goes into: the highest day plan number 1..9 no day
    // plan uses, 9 when only 1 is free, 0 when all nine are used.
    static int overrideSlot(const Group& group);

    PlanDatabase& database() const { return db_; }
    const Clock& clock() const { return clock_; }
    bool hasMasterGroups() const { return settings_.hasMasterGroups != 0; }

  private:
    void rebuildImage(Group& group, const OverrideState& override);
    SpecialWeekCommand weekCommand(const Group& group, int location, const SpecialWeek& week) const;
    void log(const std::string& line) const;

    PlanDatabase& db_;
    const Clock& clock_;
    const Settings& settings_;
    const OverrideSource* overrides_;
    const SummerSource* summer_;
    std::function<void(const std::string&)> systemLog_;
    std::map<std::pair<int, int>, std::vector<std::string>> texts_;
};

}  // namespace quirn
