#pragma once
#include <functional>
#include <utility>

#include "ops/LogWriter.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class Clock;

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

  private:
    const Clock& clock_;
    WorkingFolder folder_;
    LogWriter log_;
    std::function<void()> saveAll_;
    bool archived_ = false;
};

}  // namespace quirn
