#include "testing/TestProgrammingStore.h"

#include "ops/LogWriter.h"
#include "plans/Archive.h"
#include "platform/Clock.h"
#include "testing/TestProgramming.h"

namespace quirn {

bool ArchivingProgrammingStore::beforeChange() {
    if (archived_) return true;
    Archive archive(clock_, folder_);
    std::string name = archive.fileNameAt(clock_.now());
    if (!archive.make()) {
        log_.logSystem(clock_, "Time testing could not archive the database to " + name +
                                   "; group 1 of master group 1 is left as it is.");
        return false;
    }
    archived_ = true;
    archive_ = name;
    log_.logSystem(clock_, "Time testing archived the database to " + name +
                               " before replacing the programming of group 1 of master group 1.");
    return true;
}

void ArchivingProgrammingStore::changed() {
    replaced_ = true;
    if (saveAll_) saveAll_();
}

std::string ArchivingProgrammingStore::archiveName() const {
    return archived_ ? archive_ : Archive(clock_, folder_).fileNameAt(clock_.now());
}

bool ArchivingProgrammingStore::restore(PlanDatabase& database) {
    if (!archived_) return false;
    std::optional<DatabaseTexts> texts = Archive(clock_, folder_).restore(archive_);
    if (!texts) {
        log_.logSystem(clock_,
                       "Time testing could not restore the database files from " + archive_ + ".");
        return false;
    }
    test_programming::restoreTestGroup(database, *texts, clock_.now());
    replaced_ = false;
    log_.logSystem(clock_, "Time testing restored the database files from " + archive_ +
                               " and reloaded the programming of group 1 of master group 1.");
    return true;
}

}  // namespace quirn
