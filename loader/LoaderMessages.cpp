#include "loader/LoaderMessages.h"

#include "plans/Group.h"
#include "plans/PlanDatabase.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/PlanDownload.h"
#include "protocol/RecordCommands.h"
#include "protocol/TimeCommands.h"

namespace quirn {

namespace {
// Location number of messages meant for every location of a group.
constexpr int kAllLocations = 0;
// $M relay value that switches both relays on.
constexpr int kRelaysOn = 1;
constexpr int kRelaysOff = 0;
}  // namespace

std::string LoaderMessages::readRequest(AttachedType type, const Group& group,
                                        bool hasMasterGroups) const {
    if (usesPagedCommands(type)) return readCommand(group, hasMasterGroups).bytes();
    return MX40ReadCommand(group.masterGroup(), group.number(), kAllLocations).bytes();
}

std::string LoaderMessages::program(AttachedType type, Group& group, bool hasMasterGroups) const {
    if (!usesPagedCommands(type)) {
        ProgramImage image = download_.buildImageFor(group, kAllLocations);
        return ProgramImageCommand(group.masterGroup(), group.number(), kAllLocations,
                                   image.bytes())
            .bytes();
    }
    std::string bytes = timeToEveryone(database_, clock_, hasMasterGroups).bytes();
    if (bytes.size() > kTimeTextLimit) bytes.resize(kTimeTextLimit);
    std::time_t now = clock_.now();
    bytes += download_.defaultWeekText(group, kAllLocations, now);
    bytes += download_.specialWeekText(group.masterGroup(), group.number(), kAllLocations, now);
    return bytes;
}

std::string LoaderMessages::manual(AttachedType type, const Group& group, bool relayOn,
                                   bool hasMasterGroups) const {
    if (usesPagedCommands(type)) return manualCommand(group, relayOn, hasMasterGroups).bytes();
    return bcdRelayCommand(group, relayOn ? kRelaysOn : kRelaysOff).bytes();
}

std::string LoaderMessages::time(AttachedType type, bool hasMasterGroups) const {
    if (usesPagedCommands(type)) return timeToEveryone(database_, clock_, hasMasterGroups).bytes();
    return BcdTimeCommand(0, 0, 0, clock_).bytes();
}

}  // namespace quirn
