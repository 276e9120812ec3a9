#pragma once
#include <string>

namespace quirn {

// Where the running program lives, ending in a separator: the folder its helpers (quirn-sim)
// and, on Windows, its installed documents sit in. Empty when the system does not say.
std::string runningProgramFolder();
// The program `name` (no extension) in the folder of the running program, with this system's
// extension for programs; just the name when the folder is unknown, for the search path.
std::string programBesideThisOne(const std::string& name);
// The user's folder for data that may be thrown away, ending in a separator:
// $XDG_CACHE_HOME, else ~/.cache/ on Linux; %LOCALAPPDATA%, else %TEMP% on Windows.
std::string userCacheFolder();

}  // namespace quirn
