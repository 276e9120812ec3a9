#include "tests/support/SimProcess.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/TempFolder.h"

namespace quirn::test {

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

unsigned portOfLine(const std::string& line) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) return 0;
    return static_cast<unsigned>(std::stoul("0" + line.substr(colon + 1)));
}

bool writeSimTime(const std::string& path, long long nowMs) {
    char text[40];
    std::snprintf(text, sizeof text, "%lld.%03lld", nowMs / 1000, nowMs % 1000);
    const std::string part = path + ".new";
    if (!writeFile(part, text)) return false;
    return std::rename(part.c_str(), path.c_str()) == 0;
}

}  // namespace quirn::test
