#include "tools/quirnctl/StationFolder.h"

#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tools/quirnctl/PortCommand.h"

namespace quirn::ctl {

StationFolder::StationFolder(const Clock& c)
    : clock(c),
      profile(workPath(kProfileStoreFileName)),
      loaderSettings(profile, settings, settingsFileName()),
      overrides(c),
      summer(c),
      overrideSource(overrides, c),
      summerSource(summer) {}

std::optional<std::string> StationFolder::load(bool withDatabase) {
    if (fileExists(settingsFileName())) settings.load(settingsFileName());
    if (withDatabase) {
        if (auto missing = missingDatabaseFile()) return missing;
        loadDatabase(db, clock.now());
        // Read-only: a tool never rewrites the station's override file.
        overrides.load(OverrideLoadMode::ReadOnly);
        db.setOverrideQuery(&overrides);
        summer.load();
    }
    loaderSettings.applyProfileToSettings();
    return std::nullopt;
}

}  // namespace quirn::ctl
