#pragma once
#include <string>
#include <vector>

namespace quirn {

// The working folder tree, parents first: the folder above the working folder, the working
// folder, and its "verify", "LogFiles", "pages" and "Archive" folders.
std::vector<std::string> stationFolders();
// Creates every folder of the tree; a folder that is already there is fine, and a failure
// only shows later, when a file under it cannot be written.
void createStationFolders();

// The help file the program names ("quirn3helpr.hlp" in the working folder).
std::string helpFilePath();

}  // namespace quirn
