// Any activation-log block must be taken without reading past it, and the block number asked
// for next must lie within 1..9 or be -1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quirn::PlanDatabase db;
    quirn::ManualClock clock(1773842130);
    quirn::Settings settings;
    quirn::PlanDownload download(db, clock, settings);
    quirn::Validation validation(download);
    quirn::PasswayStore passway{quirn::WorkingFolder("unused")};  // nothing is loaded or saved
    quirn::ReadBack readBack(validation, nullptr, &passway);
    quirn::Location location(1, 1, 1);
    int next = readBack.takeLogBlock(location, std::span<const uint8_t>(data, size));
    if (next != -1 && (next < 1 || next > 9)) std::abort();
    if (passway.activations().size() > 20) std::abort();
    // The same bytes as a read-back reply of every model.
    for (int model = 0; model <= 3; ++model) {
        location.model = model;
        readBack.onReadData(location, data, size, clock.now());
    }
    return 0;
}
