#pragma once
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "plans/OverrideStore.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/WorkingFolder.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/StoreSources.h"
#include "protocol/Validation.h"

namespace quirn::ctl {

// Everything a command works on, loaded read-only from a working folder: the plan database,
// the settings, today's overrides, the summer plans and the Passway confirmations, with the
// plan download and validation over them. Every clock read is the command's fixed "now".
class Workspace {
  public:
    Workspace(std::time_t now, WorkingFolder folder) : clock_(now), folder_(std::move(folder)) {}

    // Loads the working folder. A folder missing one of the database files is refused with an
    // error line: loading would create it.
    std::optional<std::string> load();

    const Clock& clock() const { return clock_; }
    const WorkingFolder& folder() const { return folder_; }
    bool hasMasterGroups() const { return settings_.hasMasterGroups != 0; }
    PlanDatabase& db() { return db_; }
    Settings& settings() { return settings_; }
    SummerPlanStore& summer() { return summer_; }
    PlanDownload& download() { return *download_; }
    Validation& validation() { return *validation_; }
    ReadBack& readBack() { return *readBack_; }

    // Checked lookups: an error line when the numbers are bad or name nothing.
    std::optional<std::string> findGroup(const std::string& mg, const std::string& g,
                                         Group*& group);
    std::optional<std::string> findLocation(const std::string& mg, const std::string& g,
                                            const std::string& l, Location*& location);

  private:
    ManualClock clock_;
    WorkingFolder folder_;
    Settings settings_;
    PlanDatabase db_;
    OverrideStore overrides_{clock_, folder_};
    SummerPlanStore summer_{clock_, folder_};
    PasswayStore passway_{folder_};
    OverrideStoreSource overrideSource_{overrides_, clock_};
    SummerStoreSource summerSource_{summer_};
    std::unique_ptr<PlanDownload> download_;
    std::unique_ptr<Validation> validation_;
    std::unique_ptr<ReadBack> readBack_;
};

}  // namespace quirn::ctl
