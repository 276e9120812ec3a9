#include "tools/quirnctl/StationFolder.h"

#include <utility>

#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "tools/quirnctl/PortCommand.h"

namespace quirn::ctl {

StationFolder::StationFolder(const Clock& c, WorkingFolder folder)
    : clock(c),
      root(std::move(folder)),
      // What a job changes of the profile store (the type, the baud rate) or of the settings
      // stays with the job: the station's folder is read, never written.
      profile(root.file(kProfileStoreFileName), ProfileStore::Writes::InMemory),
      loaderSettings(profile, settings, std::string()),
      overrides(c, root),
      summer(c, root),
      overrideSource(overrides, c),
      summerSource(summer),
      download(db, c, settings, &overrideSource, &summerSource) {}

std::optional<std::string> StationFolder::load(bool withDatabase) {
    if (fileExists(settingsFileName(root))) settings.load(settingsFileName(root));
    if (withDatabase) {
        if (auto missing = missingDatabaseFile(root)) return missing;
        loadDatabase(db, root, clock.now());
        // Read-only: a tool never rewrites the station's override file.
        overrides.load(OverrideLoadMode::ReadOnly);
        db.setOverrideQuery(&overrides);
        summer.load();
    }
    loaderSettings.applyProfileToSettings();
    return std::nullopt;
}

LoaderStackSetup StationFolder::stackSetup(TimerService& timers) {
    return LoaderStackSetup{clock, timers, root, &profile, loaderSettings, db, download, true};
}

}  // namespace quirn::ctl
