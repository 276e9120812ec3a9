#include "platform/Paths.h"

namespace quirn {

const char* pathSeparator() {
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

std::string withTrailingSeparator(std::string folder) {
    if (folder.empty()) return folder;
    char last = folder.back();
    if (last != '/' && last != '\\') folder += pathSeparator();
    return folder;
}

}  // namespace quirn
