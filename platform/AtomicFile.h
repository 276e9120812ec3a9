#pragma once
#include <string>
#include <string_view>

namespace quirn {

// Replaces a whole file so that readers (and a crash) see either the old file or the new one,
// never a part: the bytes go to a temporary file in the same folder, which is flushed, synced
// and renamed over the target. On failure the target is untouched, the temporary removed, and
// false returned.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace quirn
