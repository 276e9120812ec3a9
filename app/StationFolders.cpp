#include "app/StationFolders.h"

#include "plans/Archive.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

std::vector<std::string> stationFolders(const WorkingFolder& folder) {
    std::vector<std::string> folders;
    if (std::string parent = folder.parent(); !parent.empty()) folders.push_back(parent);
    folders.push_back(folder.path());
    for (const char* sub : {"verify", "LogFiles", "pages"}) folders.push_back(folder.file(sub));
    // The folder the daily archives are written to, spelt as they use it: on a system whose
    // names are case-sensitive a second spelling would be a second folder.
    folders.push_back(archiveFolder(folder));
    return folders;
}

void createStationFolders(const WorkingFolder& station) {
    // The working folder may sit deeper than the system's own "c:\vorn\quirn3\": its
    // parents are made too.
    for (const std::string& folder : stationFolders(station)) makeFolders(folder);
}

int removeLeftTemporaries(const WorkingFolder& station, std::time_t now) {
    // A replace takes milliseconds; one a minute old belongs to a program that stopped.
    constexpr long kLeftTemporaryAgeSeconds = 60;
    const std::string parent = station.parent();
    int removed = 0;
    for (const std::string& folder : stationFolders(station))
        if (folder != parent)
            removed += removeStaleTemporaries(folder, now, kLeftTemporaryAgeSeconds);
    return removed;
}

std::string helpFilePath(const WorkingFolder& folder) {
    return folder.file("quirn3helpr.hlp");
}

}  // namespace quirn
