#include "testing/TestProgrammingStore.h"

#include "ops/LogWriter.h"
#include "plans/Archive.h"
#include "platform/Clock.h"

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
    log_.logSystem(clock_, "Time testing archived the database to " + name +
                               " before replacing the programming of group 1 of master group 1.");
    return true;
}

void ArchivingProgrammingStore::changed() {
    if (saveAll_) saveAll_();
}

}  // namespace quirn
