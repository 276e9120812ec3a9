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

#include "plans/DatabaseFiles.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"

namespace {

constexpr std::time_t kNow = 1'773'646'200;  // 2026-03-16, a Monday morning
constexpr std::size_t kCountSize = 4;
constexpr std::size_t kRecordSize = 1000;

void loadLocations(quirn::PlanDatabase& db, const std::string& locations,
                   const std::optional<std::string>& snapshot = std::nullopt) {
    quirn::DatabaseTexts texts;
    texts.locations = locations;
    texts.snapshot = snapshot;
    quirn::loadDatabaseTexts(db, texts, kNow);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string locations(input.substr(0, nul));
    const std::string snapshot(nul == std::string_view::npos ? std::string_view()
                                                             : input.substr(nul + 1));

    quirn::PlanDatabase db;
    loadLocations(db, locations);
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
    loadLocations(loaded, locations, snapshot);
    if (quirn::snapshotBytes(loaded) != saved) std::abort();

    quirn::PlanDatabase again;
    loadLocations(again, locations);
    if (quirn::applySnapshotBytes(again, saved) != static_cast<int>(again.locationCount()))
        std::abort();
    if (quirn::snapshotBytes(again) != saved) std::abort();
    return 0;
}
