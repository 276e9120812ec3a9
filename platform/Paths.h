#pragma once
#include <string>

namespace quirn {

// The system's working folder, ending in a separator. On Windows it is "c:\vorn\quirn3\" as
// the system has always used; elsewhere $QUIRN_ROOT when set, else "$HOME/vorn/quirn3/".
// setWorkingFolderOverride() replaces it for the process (tools' --root, tests).
std::string workingFolder();
void setWorkingFolderOverride(const std::string& folder);  // "" clears the override

// The working folder joined with a relative name ("dayplan.csv", "LogFiles/").
std::string workPath(const std::string& relative);

// The folder above the working folder ("c:\vorn\").
std::string workingFolderParent();

// The folder the log files live in (the working folder's "LogFiles").
std::string logFolder();

// The path separator of this platform, as text.
const char* pathSeparator();

// Appends a separator when the folder does not end in one.
std::string withTrailingSeparator(std::string folder);

}  // namespace quirn
