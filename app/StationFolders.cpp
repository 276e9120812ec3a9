#include "app/StationFolders.h"

#include "plans/Archive.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace quirn {

std::vector<std::string> stationFolders() {
    std::vector<std::string> folders;
    if (std::string parent = workingFolderParent(); !parent.empty()) folders.push_back(parent);
    folders.push_back(workingFolder());
    for (const char* sub : {"verify", "LogFiles", "pages"}) folders.push_back(workPath(sub));
    // The folder the daily archives are written to, spelt as they use it: on a system whose
    // names are case-sensitive a second spelling would be a second folder.
    folders.push_back(archiveFolder());
    return folders;
}

void createStationFolders() {
    // The working folder may sit deeper than the system's own "c:\vorn\quirn3\": its
    // parents are made too.
    for (const std::string& folder : stationFolders()) makeFolders(folder);
}

int removeLeftTemporaries(std::time_t now) {
    // A replace takes milliseconds; one a minute old belongs to a program that stopped.
    constexpr long kLeftTemporaryAgeSeconds = 60;
    const std::string parent = workingFolderParent();
    int removed = 0;
    for (const std::string& folder : stationFolders())
        if (folder != parent)
            removed += removeStaleTemporaries(folder, now, kLeftTemporaryAgeSeconds);
    return removed;
}

std::string helpFilePath() {
    return workPath("quirn3helpr.hlp");
}

}  // namespace quirn
