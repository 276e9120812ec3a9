#pragma once
#include <string>

#include "loader/AttachedType.h"

namespace quirn {

class Clock;
class Group;
class PlanDatabase;
class PlanDownload;

// Bytes for the attached switch, and the time they set in it as the switch will take it (empty
// when they set none), so the window can say what time went out.
struct LoaderBytes {
    std::string bytes;
    std::string timeText;
};

// The bytes the loader sends to the attached time switch, built by the protocol's command
// classes for the attached type: paged text for type 0, BCD commands and the program image
// for the others.
class LoaderMessages {
  public:
    // The longest time text the loader puts in front of a QN510's programming.
    static constexpr std::size_t kTimeTextLimit = 1999;

    LoaderMessages(const PlanDatabase& database, PlanDownload& download, const Clock& clock)
        : database_(database), download_(download), clock_(clock) {}

    // 'R' to the group, or C78 to the group.
    std::string readRequest(AttachedType type, const Group& group, bool hasMasterGroups) const;
    // Type 0: the 'T' time to everyone, then the group's 'D' and special-week 'W' to all its
    // locations. Other types: the group's program image rebuilt for location 0, 968 bytes,
    // whose clock is the time set.
    LoaderBytes program(AttachedType type, Group& group, bool hasMasterGroups) const;
    // 'M' to the group, or $M with both relays.
    std::string manual(AttachedType type, const Group& group, bool relayOn,
                       bool hasMasterGroups) const;
    // 'T' or $T to everyone with the current time.
    LoaderBytes time(AttachedType type, bool hasMasterGroups) const;
    // Who a time to everyone reaches: every switch, or the master groups it is addressed to.
    std::string everyoneText(AttachedType type, bool hasMasterGroups) const;

  private:
    const PlanDatabase& database_;
    PlanDownload& download_;
    const Clock& clock_;
};

}  // namespace quirn
