// The identifier parser of the calendar's registry: whatever it accepts, its own spelling of
// the identifier reads back as the same identifier.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/com/Guid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<quirn::com::Guid> guid = quirn::com::parseGuid(text);
    if (!guid) return 0;
    std::string spelled = quirn::com::guidText(*guid);
    if (spelled.size() != 38) std::abort();
    std::optional<quirn::com::Guid> again = quirn::com::parseGuid(spelled);
    if (!again || !(*again == *guid)) std::abort();
    return 0;
}
