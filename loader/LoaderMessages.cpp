#include "loader/LoaderMessages.h"

#include "loader/LoaderTexts.h"
#include "plans/Group.h"
#include "plans/PlanDatabase.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/PlanDownload.h"
#include "protocol/RecordCommands.h"
#include "protocol/TimeCommands.h"

namespace quirn {

namespace {
// Location number of messages meant for every location of a group.
constexpr int kAllLocations = 0;
// Master group and group of a BCD message meant for every switch.
constexpr int kEveryone = 0;
// $M relay value that switches both relays on.
constexpr int kRelaysOn = 1;
constexpr int kRelaysOff = 0;

// A QN510 takes the weekday, hour and minute of a 'T'; nothing else is claimed for it.
std::string pagedTimeText(const TimeCommand& command) {
    LocalDateTime t = command.effectiveTime();
    return format(loader_text::kPagedTimeFormat, t.hour, t.minute, weekdayName(t.weekday));
}
}  // namespace

std::string LoaderMessages::readRequest(AttachedType type, const Group& group,
                                        bool hasMasterGroups) const {
    if (usesPagedCommands(type)) return readCommand(group, hasMasterGroups).bytes();
    return MX40ReadCommand(group.masterGroup(), group.number(), kAllLocations).bytes();
}

LoaderBytes LoaderMessages::program(AttachedType type, Group& group, bool hasMasterGroups) const {
    if (!usesPagedCommands(type)) {
        ProgramImage image = download_.buildImageFor(group, kAllLocations);
        return {
            ProgramImageCommand(group.masterGroup(), group.number(), kAllLocations, image.bytes())
                .bytes(),
            formatLocal(loader_text::kFullTimeFormat, image.clock())};
    }
    TimeCommand time = timeToEveryone(database_, clock_, hasMasterGroups);
    LoaderBytes out{time.bytes(), pagedTimeText(time)};
    if (out.bytes.size() > kTimeTextLimit) out.bytes.resize(kTimeTextLimit);
    std::time_t now = clock_.now();
    out.bytes += download_.defaultWeekText(group, kAllLocations, now);
    out.bytes += download_.specialWeekText(group.masterGroup(), group.number(), kAllLocations, now);
    return out;
}

std::string LoaderMessages::manual(AttachedType type, const Group& group, bool relayOn,
                                   bool hasMasterGroups) const {
    if (usesPagedCommands(type)) return manualCommand(group, relayOn, hasMasterGroups).bytes();
    return bcdRelayCommand(group, relayOn ? kRelaysOn : kRelaysOff).bytes();
}

LoaderBytes LoaderMessages::time(AttachedType type, bool hasMasterGroups) const {
    if (usesPagedCommands(type)) {
        TimeCommand time = timeToEveryone(database_, clock_, hasMasterGroups);
        return {time.bytes(), pagedTimeText(time)};
    }
    BcdTimeCommand time(kEveryone, kEveryone, kAllLocations, clock_);
    return {time.bytes(), formatLocal(loader_text::kFullTimeFormat, time.effectiveTime())};
}

std::string LoaderMessages::everyoneText(AttachedType type, bool hasMasterGroups) const {
    // The BCD time goes to master group 0, which every switch takes.
    if (!usesPagedCommands(type) || !hasMasterGroups) return loader_text::kEverySwitch;
    std::string numbers;
    for (int mg : everyoneMasterGroups(hasMasterGroups, database_.masterGroupNumbers()))
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(mg);
    return format(loader_text::kEverySwitchOfMasterGroups, numbers.c_str());
}

}  // namespace quirn
