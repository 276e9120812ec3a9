#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "platform/WorkingFolder.h"

namespace quirn {

// The working folder tree, parents first: the folder above the working folder, the working
// folder, and its "verify", "LogFiles", "pages" and "Archive" folders.
std::vector<std::string> stationFolders(const WorkingFolder& folder);
// Creates every folder of the tree; a folder that is already there is fine, and a failure
// only shows later, when a file under it cannot be written.
void createStationFolders(const WorkingFolder& folder);
// Removes what a replace cut short by a crash or a power cut left in the tree's folders (not
// the folder above the working folder, which other programs share): temporaries older than a
// minute, which no replace still going on can own. Returns how many went.
int removeLeftTemporaries(const WorkingFolder& folder, std::time_t now);

// The help file the program names ("quirn3helpr.hlp" in the working folder).
std::string helpFilePath(const WorkingFolder& folder);

}  // namespace quirn
