#pragma once
#include <optional>
#include <string>

#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/ProfileStore.h"
#include "platform/WorkingFolder.h"
#include "protocol/PlanDownload.h"
#include "protocol/StoreSources.h"

namespace quirn::ctl {

// What a port command reads of the working folder, as the loader window has it when it is
// open: the settings with the profile store's master-groups switch applied, and the database
// with today's overrides (read-only) and the summer plans, and the plan download over them.
// Nothing here is written back.
struct StationFolder {
    StationFolder(const Clock& clock, WorkingFolder root);

    // Reads profile.csv when it is there and applies the profile store as the loader window
    // does when it opens; with `withDatabase` the database too. An error line when the
    // database files are not all there.
    std::optional<std::string> load(bool withDatabase);

    // The loader stack of a port command on this folder, ticked by `timers`.
    LoaderStackSetup stackSetup(TimerService& timers);

    const Clock& clock;
    const WorkingFolder root;
    ProfileStore profile;
    Settings settings;
    LoaderSettings loaderSettings;
    PlanDatabase db;
    OverrideStore overrides;
    SummerPlanStore summer;
    OverrideStoreSource overrideSource;
    SummerStoreSource summerSource;
    PlanDownload download;
};

}  // namespace quirn::ctl
