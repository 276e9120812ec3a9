#pragma once
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/WorkingFolder.h"

namespace quirn {

class PlanDatabase;
class Location;

// File names in a working folder. The CSV names take their extension; callers pass "csv".
std::string dayPlanFileName(const WorkingFolder& folder, const char* extension = "csv");
std::string groupsFileName(const WorkingFolder& folder, const char* extension = "csv");
std::string locationsFileName(const WorkingFolder& folder, const char* extension = "csv");
std::string stepsFileName(const WorkingFolder& folder, const char* extension = "csv");
std::string snapshotFileName(const WorkingFolder& folder);  // "Quirn Locations.bin"
std::string overrideFileName(const WorkingFolder& folder);  // "override.csv"
std::string settingsFileName(const WorkingFolder& folder);  // "profile.csv"
std::string passwayFileName(const WorkingFolder& folder);   // "Passway.pw2"

// What loading needs from the layers above the plan records.
struct LoadHooks {
    // Clears references to locations held outside the database (the communications handler's
    // current location) before the snapshot replaces read-back data.
    std::function<void()> forgetLocationReferences;
    // Decodes a location's program bytes again after the snapshot was applied and recomputes
    // its read state.
    std::function<void(Location&)> redecode;
};

// What loadDatabase reads of a folder, as text and bytes: a part that is missing (nullopt)
// leaves that part of the database as it is. The snapshot is applied only with the locations.
struct DatabaseTexts {
    std::optional<std::string> dayPlans;
    std::optional<std::string> steps;
    std::optional<std::string> groups;
    std::optional<std::string> locations;
    std::optional<std::string> snapshot;
};

// Loads dayplan.csv, steps.csv, groups.csv and locations.csv (then the read-back snapshot) of
// `folder` into the database, adding to or replacing what is in memory. A missing file is
// created empty. A file that is there but cannot be read changes nothing and is listed in
// db.unreadableFiles(), so that no save replaces it. Lines are read whole and split at every
// comma; malformed lines are ignored.
void loadDatabase(PlanDatabase& db, const WorkingFolder& folder, std::time_t now,
                  const LoadHooks& hooks = {});
// What loadDatabase reads of the folder, without loading it (a missing file is created empty,
// one that cannot be read is listed in db.unreadableFiles()).
DatabaseTexts readDatabaseTexts(PlanDatabase& db, const WorkingFolder& folder);
// The same from texts already read (no file is touched).
void loadDatabaseTexts(PlanDatabase& db, const DatabaseTexts& texts, std::time_t now,
                       const LoadHooks& hooks = {});

// Writes the four CSV files into `folder`, each through an atomic replace so that a crash or a full
// disk never leaves a truncated file. A file that cannot be written, or could not be read at load,
// is skipped; returns false when any was skipped. Plans that ended before this week's Sunday
// are not written.
bool saveDatabase(PlanDatabase& db, const WorkingFolder& folder, std::time_t now);

// The time before which a save drops dated plans: an annual plan dated before it, a vacation
// ending before it. The Saturday before now's day (a week back when that day is a Saturday) at
// now's time of day, so a save keeps the plans of the current week from its Sunday on.
std::time_t datedPlanCutOff(std::time_t now);

// What saveDatabase writes: each CSV file's path and text, the largest (locations) first.
struct DatabaseFile {
    std::string path;
    std::string text;
};
std::vector<DatabaseFile> databaseFiles(PlanDatabase& db, const WorkingFolder& folder,
                                        std::time_t now);

// The CSV texts saveDatabase writes (for tools and tests).
std::string dayPlanFileText(PlanDatabase& db, std::time_t now);
std::string stepsFileText(const PlanDatabase& db);
std::string groupsFileText(const PlanDatabase& db);
std::string locationsFileText(PlanDatabase& db);

// The exact bytes of "Quirn Locations.bin" for every location, built on the caller's thread so
// that a worker can write them while the records change.
std::string snapshotBytes(const PlanDatabase& db);
bool saveSnapshot(const PlanDatabase& db, const WorkingFolder& folder);
// Applies the snapshot file to matching locations with compatible models. Whole records are
// applied; a short or missing tail is ignored. Returns the number of records applied.
int loadSnapshot(PlanDatabase& db, const WorkingFolder& folder, const LoadHooks& hooks = {});
int applySnapshotBytes(PlanDatabase& db, const std::string& bytes, const LoadHooks& hooks = {});

}  // namespace quirn
