#include "tests/support/SimProcess.h"

#include <fstream>
#include <sstream>

namespace quirn::test {

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace quirn::test
