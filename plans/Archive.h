#pragma once
#include <ctime>
#include <optional>
#include <string>

#include "plans/DatabaseFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;

// The folder archives go to: "Archive" in a working folder, with a trailing separator.
std::string archiveFolder(const WorkingFolder& folder);

// A daily copy of the four database CSV files under section markers, so that the programming
// of any earlier day can be looked at. Made from the files on disk (those of `folder`), not from
// memory.
class Archive {
  public:
    // A database file changed today when it was written less than this long ago (23 h 0 min
    // 50 s, so that yesterday's end-of-day save at 23:59 does not count at today's 23:59).
    static constexpr std::time_t kChangedWithinSeconds = 82850;

    enum class Outcome { Unchanged, Made, Failed };

    Archive(const Clock& clock, WorkingFolder folder);

    // "Archived_December_06_2026_23_59 .txt" in the archive folder for the local time t (the
    // blank before the extension is part of the name). Two archives of one minute share it.
    std::string fileNameAt(std::time_t t) const;
    // The archive text for the clock's time, from the files as they are now. A file that
    // cannot be read contributes no lines; its marker is still written.
    std::string text() const;

    // Writes an archive now (replacing one of the same minute). False when it could not be
    // written.
    bool make() const;
    // True when any of the four files was written less than kChangedWithinSeconds ago; a file
    // that cannot be examined counts as unchanged.
    bool changedToday() const;
    // make() when changedToday(); run by the scheduler at 23:59 before the end-of-day save.
    Outcome makeIfChanged() const;

    // Puts the four database files of the archive at `path` back into the folder, each through
    // an atomic replace, and returns their texts as loadDatabaseTexts takes them. Nothing, and
    // no file touched, when the archive cannot be read or lacks one of its four sections;
    // nothing too when a file cannot be written (those before it are already back).
    std::optional<DatabaseTexts> restore(const std::string& path) const;

  private:
    const Clock& clock_;
    WorkingFolder folder_;
};

}  // namespace quirn
