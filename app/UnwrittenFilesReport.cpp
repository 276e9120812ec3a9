#include "app/UnwrittenFilesReport.h"

#include "platform/UnreadableFiles.h"

namespace quirn {

std::vector<std::string> UnwrittenFilesReport::newlyUnwritten(
    const std::vector<const UnreadableFiles*>& stores) {
    std::set<std::string> failing;
    std::vector<std::string> fresh;
    for (const UnreadableFiles* store : stores)
        for (const std::string& path : store->unwritten()) {
            failing.insert(path);
            if (!reported_.contains(path)) fresh.push_back(path);
        }
    reported_ = std::move(failing);
    return fresh;
}

}  // namespace quirn
