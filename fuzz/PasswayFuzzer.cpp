// Passway.pw2 from any bytes: the input up to its first NUL byte is locations.csv, the rest the
// Passway file, both fed as they are (no file is read or written). Whatever the file holds, no
// more activations are read than it holds whole; and what the store then saves keeps: read
// with the same locations it reads in full, gives the same activations and saves the same
// bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "fuzz/support/StationInputs.h"
#include "plans/DatabaseFiles.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "platform/WorkingFolder.h"

namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kActivationSize = 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto [locations, bytes] = quirn::fuzz::locationsAndFile(input);
    const quirn::WorkingFolder folder = quirn::fuzz::untouchedFolder();

    quirn::PlanDatabase db;
    quirn::fuzz::loadLocations(db, locations);
    quirn::PasswayStore store(folder);
    store.applyFileBytes(db, bytes);
    const std::size_t whole =
        bytes.size() < kCountSize ? 0 : (bytes.size() - kCountSize) / kActivationSize;
    if (store.activations().size() > whole) std::abort();
    const std::string saved = store.fileBytes(db);

    quirn::PlanDatabase again;
    quirn::fuzz::loadLocations(again, locations);
    quirn::PasswayStore reread(folder);
    if (!reread.applyFileBytes(again, saved)) std::abort();
    if (reread.activations() != store.activations()) std::abort();
    if (reread.fileBytes(again) != saved) std::abort();
    return 0;
}
