// The read-back snapshot ("Quirn Locations.bin") from any bytes: the input up to its first NUL
// byte is locations.csv, the rest the snapshot, both fed to the database as they are (no file
// is read). Whatever the snapshot holds, no more records are applied than it holds whole and
// every location keeps a received count within its program image; and what the database then
// saves keeps: applied to the same locations it applies in full and saves the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/support/StationInputs.h"
#include "plans/DatabaseFiles.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"

namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kRecordSize = 1000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto [locations, snapshot] = quirn::fuzz::locationsAndFile(input);

    quirn::PlanDatabase db;
    quirn::fuzz::loadLocations(db, locations);
    const int applied = quirn::applySnapshotBytes(db, snapshot);
    const std::size_t whole =
        snapshot.size() < kCountSize ? 0 : (snapshot.size() - kCountSize) / kRecordSize;
    if (applied < 0 || static_cast<std::size_t>(applied) > whole) std::abort();
    db.visitLocations([](const quirn::Location& l) {
        if (l.programBytesReceived < 0 || l.programBytesReceived > quirn::kProgramImageSize)
            std::abort();
    });
    const std::string saved = quirn::snapshotBytes(db);
    if (saved.size() != kCountSize + db.locationCount() * kRecordSize) std::abort();

    // The load reads the snapshot as applying it after the locations does.
    quirn::PlanDatabase loaded;
    quirn::fuzz::loadLocations(loaded, locations, snapshot);
    if (quirn::snapshotBytes(loaded) != saved) std::abort();

    quirn::PlanDatabase again;
    quirn::fuzz::loadLocations(again, locations);
    if (quirn::applySnapshotBytes(again, saved) != static_cast<int>(again.locationCount()))
        std::abort();
    if (quirn::snapshotBytes(again) != saved) std::abort();
    return 0;
}
