// Any bytes handed to the read-back decoders, as a QN510 reply or an LR40 reply, must decode
// without reading or writing out of bounds; what decodes as valid must describe itself, and a
// decoded image's annual list must hold only possible dates.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "protocol/ProgramImage.h"
#include "protocol/ReplyDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quirn::Qn510Image qn = quirn::parseQN510Reply(data, size, 0);
    if (qn.isValid()) {
        (void)qn.describeProgram();
        for (auto table : {quirn::Qn510Tables::Table::Default, quirn::Qn510Tables::Table::Alternate,
                           quirn::Qn510Tables::Table::Override})
            if (qn.tables().entries(table).size() > quirn::Qn510Tables::kMaxEntries) std::abort();
    }
    quirn::ProgramImage image = quirn::parseLR40Reply(data, size);
    if (image.isValid()) {
        image.checkAnnualEntries();
        for (const quirn::AnnualEntry& e : image.annualEntries())
            if (e.startMonth < 1 || e.startMonth > 12 || e.endDay < 1 || e.endDay > 31)
                std::abort();
        (void)image.describeProgram();
    }
    return 0;
}
