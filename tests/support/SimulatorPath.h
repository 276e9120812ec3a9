#pragma once
#include <string>

namespace quirn::test {

// The quirn-sim program of this build, as the test target's CMake names it (QUIRN_SIM_PATH);
// empty when the build has none, and the test that needs it skips itself.
inline std::string simulatorPath() {
#ifdef QUIRN_SIM_PATH
    return QUIRN_SIM_PATH;
#else
    return {};
#endif
}

}  // namespace quirn::test
