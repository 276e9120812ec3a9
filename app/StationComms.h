#pragma once
#include "app/StationPlanPager.h"
#include "comms/CommoHandler.h"
#include "comms/ErrorListConnectionSink.h"
#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/StoreSources.h"
#include "protocol/Validation.h"

namespace quirn {

class ErrorList;
class OverrideStore;
class PasswayStore;
class PlanDatabase;
class ProfileStore;
class Settings;
class SummerPlanStore;

// The protocol and communications stack of the station, built once the settings are known
// (the master-groups switch decides every message's prefix): plan download, validation,
// read-back, the handler's message and reply adapters, the handler itself and the plan pager.
class StationComms {
  public:
    struct Parts {
        const Clock& clock;
        const WorkingFolder& folder;
        TimerService& timers;
        PlanDatabase& database;
        const Settings& settings;
        const ProfileStore& profile;
        ErrorList& errors;
        PasswayStore& passway;
        ReadBackListener& listener;
        const OverrideStore& overrides;
        const SummerPlanStore& summer;
    };
    explicit StationComms(const Parts& parts);
    StationComms(const StationComms&) = delete;
    StationComms& operator=(const StationComms&) = delete;

    CommoHandler& commo() { return commo_; }
    PlanPager& pager() { return pager_; }
    PlanDownload& download() { return download_; }
    ReadBack& readBack() { return readBack_; }

  private:
    OverrideStoreSource overrideSource_;
    SummerStoreSource summerSource_;
    PlanDownload download_;
    Validation validation_;
    ReadBack readBack_;
    ProtocolMessages messages_;
    ProtocolReplyJudge judge_;
    ErrorListConnectionSink errorSink_;
    CommoHandler commo_;
    StationPlanPager pager_;
};

}  // namespace quirn
