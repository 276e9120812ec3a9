// Any text handed to the paged-message decoder must decode without reading or writing out of
// bounds, and applying what it found must leave a valid QN510 image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "protocol/LogEntry.h"
#include "protocol/Qn510Tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quirn::Qn510Tables image = quirn::Qn510Tables::fresh(quirn::LocalDateTime{});
    for (const quirn::LogEntry& e : quirn::decodeText(text)) {
        if (e.text.size() > size || e.text.empty() || e.text.front() != '@') std::abort();
        quirn::applyTo(e, image);
        if (!image.isValid()) std::abort();
        if (image.entries(quirn::Qn510Tables::Table::Default).size() >
            quirn::Qn510Tables::kMaxEntries)
            std::abort();
    }
    return 0;
}
