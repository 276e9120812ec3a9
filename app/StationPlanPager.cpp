#include "app/StationPlanPager.h"

#include <vector>

#include "comms/CommoHandler.h"
#include "plans/Group.h"
#include "plans/OverridePlan.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlan.h"
#include "protocol/MessageFrame.h"
#include "protocol/PagedCommands.h"
#include "protocol/WeekCommands.h"

namespace quirn {

namespace {

bool reachedThroughM2M(const PlanDatabase& database, int masterGroup, int group) {
    const Group* g = database.findGroup(masterGroup, group);
    if (!g) return false;
    for (const auto& location : g->locations())
        if (location->connection == kM2MAddress) return true;
    return false;
}

}  // namespace

StationPlanPager::StationPlanPager(CommoHandler& commo, const Settings& settings,
                                   const PlanDatabase& database)
    : commo_(commo), settings_(settings), database_(database) {}

size_t StationPlanPager::addOverride(const OverridePlan& plan) {
    std::vector<PlanStep> steps;
    for (const Step& s : plan.steps) steps.push_back({0, s.hour, s.minute, s.command});
    OverrideCommand command(plan.masterGroup, plan.group,
                            OverrideCommand::dataFor(true, plan.inForce(), steps),
                            settings_.hasMasterGroups != 0);
    std::string bytes = command.bytes();
    // The store stops a batch once it passes 3000 bytes and one override is far shorter than
    // the rest of the buffer, so this guard only keeps a message from ever going out cut.
    if (batch_.size() + bytes.size() > kMessageBufferSize) return batch_.size();
    batch_ += bytes;
    if (reachedThroughM2M(database_, plan.masterGroup, plan.group)) m2mBatch_ += bytes;
    return batch_.size();
}

void StationPlanPager::queueOverrides() {
    if (!batch_.empty()) commo_.enqueueBytes(batch_);
    // Only when the client is one of the links: without it the handler would drop the batch.
    if (!m2mBatch_.empty() && commo_.isLinkPresent(kM2MAddress))
        commo_.enqueueFor(kM2MAddress, m2mBatch_);
    batch_.clear();
    m2mBatch_.clear();
}

void StationPlanPager::sendSummerWeek(const SummerPlan& plan, const SummerLocation& location) {
    std::vector<SummerStep> entries;
    for (const SummerPlanStep& s : plan.steps)
        entries.push_back({s.onHour, s.onMinute, s.offHour, s.offMinute});
    SummerWeekCommand command(location.masterGroup, location.group, location.location,
                              settings_.hasMasterGroups != 0, std::move(entries));
    std::string bytes = command.bytes();
    if (bytes.empty()) return;
    commo_.queueGroupMessage(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             location.masterGroup, location.group, location.location);
}

}  // namespace quirn
