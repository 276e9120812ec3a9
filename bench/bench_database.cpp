// Times the database files over the largest fleet the numbering allows (10 x 99 x 99 locations)
// against bare passes over the same bytes, and prints the figures. Not a test: nothing fails.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/PlanCheck.h"
#include "plans/PlanDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/TextLines.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

double timeMs(const std::function<void()>& fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Best of a few runs, so a busy machine disturbs the figures less.
double bestOf(int runs, const std::function<void()>& fn) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, timeMs(fn));
    return best;
}

std::vector<std::string> csvFiles(const WorkingFolder& folder) {
    return {dayPlanFileName(folder), stepsFileName(folder), groupsFileName(folder),
            locationsFileName(folder)};
}

// Reads every line of the files and splits it at commas: the least any loader must do.
size_t bareReadPass(const std::vector<std::string>& files) {
    size_t fields = 0;
    std::vector<std::string_view> parts;
    for (const auto& f : files) {
        auto text = readWholeFile(f);
        if (!text) continue;
        LineReader reader(*text);
        std::string_view line;
        while (reader.next(line)) {
            splitFields(line, parts);
            fields += parts.size();
        }
    }
    return fields;
}

void bareWritePass(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [path, bytes] : files) {
        std::ofstream out(path + ".bare", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

// The same bytes written the way a save must write them to survive a crash: each through an
// atomic replace (temporary, fsync, rename).
void bareDurableWritePass(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [path, bytes] : files) replaceFileAtomically(path + ".bare", bytes);
}

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Figures {
    size_t locations = 0;
    size_t findings = 0;
    double check = 0;
    double load = 0, save = 0, saveFormatting = 0, snapshotSave = 0, snapshotLoad = 0, bareRead = 0,
           bareWrite = 0, bareDurableWrite = 0, bareSnapshotRead = 0, bareSnapshotWrite = 0;
};

Figures measure(const test::FleetShape& shape, int runs) {
    test::TempFolder temp;
    const WorkingFolder folder = temp.workingFolder();
    std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);
    Figures f;
    {
        PlanDatabase db;
        test::generateFleet(db, shape, now);
        f.locations = db.locationCount();
        saveDatabase(db, folder, now);
        saveSnapshot(db, folder);
        f.save = bestOf(runs, [&] { saveDatabase(db, folder, now); });
        f.saveFormatting = bestOf(runs, [&] {
            size_t n = dayPlanFileText(db, now).size() + stepsFileText(db).size() +
                       groupsFileText(db).size() + locationsFileText(db).size();
            if (n == 0) std::printf("empty\n");
        });
        f.snapshotSave = bestOf(runs, [&] { saveSnapshot(db, folder); });
    }
    std::vector<std::pair<std::string, std::string>> contents;
    for (const auto& path : csvFiles(folder)) contents.emplace_back(path, *readWholeFile(path));
    f.bareRead = bestOf(runs, [&] { bareReadPass(csvFiles(folder)); });
    f.bareWrite = bestOf(runs, [&] { bareWritePass(contents); });
    f.bareDurableWrite = bestOf(runs, [&] { bareDurableWritePass(contents); });
    std::string snapshot = *readWholeFile(snapshotFileName(folder));
    f.bareSnapshotRead = bestOf(runs, [&] { (void)readWholeFile(snapshotFileName(folder)); });
    f.bareSnapshotWrite = bestOf(runs, [&] {
        bareDurableWritePass({{snapshotFileName(folder), snapshot}});
    });
    f.load = bestOf(runs, [&] {
        PlanDatabase db;
        loadDatabase(db, folder, now);  // includes the snapshot, as start-up does
    });
    f.check = bestOf(runs, [&] { f.findings = checkWorkingFolder(folder)->size(); });
    PlanDatabase db;
    loadDatabase(db, folder, now);
    f.snapshotLoad = bestOf(runs, [&] { loadSnapshot(db, folder); });
    return f;
}

void print(const char* what, double ms, double bare) {
    std::printf("  %-34s %10.1f ms   %5.2fx bare\n", what, ms, bare > 0 ? ms / bare : 0.0);
}

}  // namespace

int main() {
    std::printf(
        "Database files, largest fleet: 10 master groups x 99 groups x 99 locations,\n"
        "9 day plans x 16 steps, 36 annual and 5 vacation plans per group.\n");
    test::FleetShape full = test::FleetShape::largest();
    Figures f = measure(full, 7);
    long peak = peakMemoryKb();
    std::printf("locations: %zu\n", f.locations);
    print("load all (CSV + snapshot)", f.load, f.bareRead + f.bareSnapshotRead);
    print("plan check (4 CSV files)", f.check, f.bareRead);
    std::printf("  %-34s %10zu\n", "findings of the check", f.findings);
    print("save all (4 CSV files, atomic)", f.save, f.bareDurableWrite);
    print("  of which building the texts", f.saveFormatting, f.bareWrite);
    print("snapshot save (atomic)", f.snapshotSave, f.bareSnapshotWrite);
    print("snapshot load", f.snapshotLoad, f.bareSnapshotRead);
    std::printf("  %-34s %10.1f ms\n", "bare read + split pass (CSV)", f.bareRead);
    std::printf("  %-34s %10.1f ms\n", "bare write pass (CSV, plain)", f.bareWrite);
    std::printf("  %-34s %10.1f ms\n", "bare write pass (CSV, atomic+fsync)", f.bareDurableWrite);
    std::printf("peak memory with the fleet loaded: %.1f MiB\n", peak / 1024.0);

    // Growth: a tenth of the fleet should take about a tenth of the time.
    test::FleetShape tenth = full;
    tenth.masterGroups = 1;
    Figures small = measure(tenth, 3);
    std::printf(
        "scaling from %zu to %zu locations (10x): load %.1fx, save %.1fx, snapshot save "
        "%.1fx, plan check %.1fx\n",
        small.locations, f.locations, f.load / small.load, f.save / small.save,
        f.snapshotSave / small.snapshotSave, f.check / small.check);
    return 0;
}
