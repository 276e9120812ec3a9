#pragma once
#include <functional>
#include <string>
#include <utility>

#include "ops/LogWriter.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;
class PlanDatabase;

// Keeps the programming that the tests write into the test group (group 1 of master group 1).
class TestProgrammingStore {
  public:
    virtual ~TestProgrammingStore() = default;
    // Asked before a test replaces the group's programming; false when it must not happen
    // because the real programming could not be kept.
    virtual bool beforeChange() = 0;
    // The group's programming was replaced.
    virtual void changed() = 0;
};

// The station's way: before the first change in the life of a testing window the database
// files are archived as the end-of-day archive does, so the real programming can be restored,
// and a System log line names the archive; every change is then saved with "save all".
class ArchivingProgrammingStore final : public TestProgrammingStore {
  public:
    // The archive and the System log are those of `folder`.
    ArchivingProgrammingStore(const Clock& clock, WorkingFolder folder,
                              std::function<void()> saveAll)
        : clock_(clock), folder_(std::move(folder)), log_(folder_), saveAll_(std::move(saveAll)) {}

    // Archives once; false (and nothing is changed) while no archive could be written.
    bool beforeChange() override;
    void changed() override;
    bool archived() const { return archived_; }
    // The archive made, or the one the first change would make now.
    std::string archiveName() const;
    // The tests replaced the group's programming since the archive was made or last restored.
    bool replaced() const { return replaced_; }

    // Puts the database files back from the archive and gives the test group in `database`
    // the programming they hold; one System log line says whether it worked. False when there
    // is no archive or it could not be put back.
    bool restore(PlanDatabase& database);

  private:
    const Clock& clock_;
    WorkingFolder folder_;
    LogWriter log_;
    std::function<void()> saveAll_;
    std::string archive_;
    bool archived_ = false;
    bool replaced_ = false;
};

}  // namespace quirn
