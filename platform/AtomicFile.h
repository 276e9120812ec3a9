#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace quirn {

// Replaces a whole file so that readers (and a crash) see either the old file or the new one,
// never a part: the bytes go to a temporary file in the same folder, which is flushed, synced
// and renamed over the target, and the folder is synced so that the rename survives a power
// cut. On failure the target is untouched, the temporary removed, and false returned (false
// also when only the folder's sync failed: the new file is in place but may not be durable).
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

// How the temporaries of replaceFileAtomically end ("dayplan.csv.<process>.<n>.tmp~").
inline constexpr const char* kTemporarySuffix = ".tmp~";

// Removes the temporaries that a process stopped in the middle of a replace left in the folder
// (not its sub-folders): those last modified more than `olderThanSeconds` before `now`, so
// that a replace still going on in another program is never touched. Returns how many went.
int removeStaleTemporaries(const std::string& folder, std::time_t now, long olderThanSeconds);

}  // namespace quirn
