#include "calendar/control/Module.h"
#include "platform/SharedLibrary.h"

namespace quirn::vorncal {

std::string modulePath() {
    return moduleFileOf(reinterpret_cast<const void*>(&modulePath));
}

}  // namespace quirn::vorncal
