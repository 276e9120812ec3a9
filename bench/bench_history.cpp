// Times the read history at the largest fleet (10 master groups x 99 groups x 99 locations =
// 98,010): a day's reads inserted through the store (each with its location's summary and
// drift sums) and through the station's recorder (what the tick pays, and how long the worker
// takes to write them), the fleet view (every location's latest read and drift in one pass),
// one location's history, and the size of the file holding 400 days of one read a day for
// every location. The bare baseline inserts the same day's rows into a table of the same shape
// with nothing else. Not a test: nothing fails.
// Usage: bench_history [DAYS [FOLDER]] (400 days in a temporary folder unless told).
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "fleethealth/ReadHistory.h"
#include "fleethealth/ReadHistoryStore.h"
#include "ops/LogWriter.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

constexpr int kMasterGroups = 10;
constexpr int kGroups = 99;
constexpr int kLocations = 99;
constexpr int kFleet = kMasterGroups * kGroups * kLocations;
constexpr std::time_t kDay = 24 * 60 * 60;
constexpr int kDefaultDays = kHistoryRetentionDays;
// Locations whose whole history goes in one transaction while the big file is made.
constexpr int kLocationsPerBatch = 25;

std::vector<LocationKey> fleetKeys() {
    std::vector<LocationKey> keys;
    keys.reserve(kFleet);
    for (int mg = 1; mg <= kMasterGroups; ++mg)
        for (int g = 1; g <= kGroups; ++g)
            for (int l = 1; l <= kLocations; ++l) keys.push_back({mg, g, l});
    return keys;
}

// The 10:00 read of a location on day `day`: most validate, some clocks drift, one in fifty
// does not answer.
ReadRecord readOf(const LocationKey& key, std::time_t start, int day) {
    ReadRecord read;
    const int index = (key.masterGroup * 131 + key.group * 31 + key.location) % 50;
    read.time = start + day * kDay + index;
    read.location = key;
    read.source = ReadSource::WiFi;
    if (index == 0) {
        read.state = ReadState::ConnectionFailed;
        return read;
    }
    read.state = ReadState::ValidatePassed;
    read.hasClock = true;
    read.clockHasSeconds = true;
    read.clockOffsetSeconds = (index % 5) * day / 10 % 100;  // some gain up to half a s a day
    read.program = ProgramMatch::Matched;
    read.relayState = 0;
    read.bytesRead = 968;
    return read;
}

long long fileBytes(const std::string& path) {
    std::error_code ec;
    long long total = 0;
    for (const char* suffix : {"", "-wal"}) {
        auto size = std::filesystem::file_size(path + suffix, ec);
        if (!ec) total += static_cast<long long>(size);
    }
    return total;
}

double bareDayMs(const std::string& path, const std::vector<ReadRecord>& day) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; CREATE TABLE reads(mg,g,l,"
                 "time,seq,state,source,flags,offset,program,relay,result,bytes, PRIMARY KEY(mg,"
                 "g,l,time,seq)) WITHOUT ROWID",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO reads VALUES(?,?,?,?,0,?,1,1,?,1,0,0,968)", -1, &insert,
                       nullptr);
    double ms = bench::timeMs([&] {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const ReadRecord& r : day) {
            sqlite3_bind_int(insert, 1, r.location.masterGroup);
            sqlite3_bind_int(insert, 2, r.location.group);
            sqlite3_bind_int(insert, 3, r.location.location);
            sqlite3_bind_int64(insert, 4, r.time);
            sqlite3_bind_int(insert, 5, static_cast<int>(r.state));
            sqlite3_bind_int64(insert, 6, r.clockOffsetSeconds);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ms;
}

void dayInsertFigures(ReadHistoryStore& store, const std::vector<ReadRecord>& day,
                      const char* what) {
    const double ms = bench::timeMs([&] {
        for (size_t at = 0; at < day.size(); at += ReadHistory::kBatchLimit) {
            const size_t n = std::min(ReadHistory::kBatchLimit, day.size() - at);
            if (!store.insert(std::span<const ReadRecord>(day.data() + at, n)))
                std::printf("insert failed: %s\n", store.lastError().c_str());
        }
    });
    std::printf("%s: %.0f ms for %d reads, %.1f us a read\n", what, ms, kFleet,
                ms * 1000.0 / kFleet);
}

}  // namespace

int main(int argc, char** argv) {
    bench::fixTimeZone();
    const int days = argc > 1 ? std::atoi(argv[1]) : kDefaultDays;
    test::TempFolder temp;
    const std::string folder = argc > 2 ? std::string(argv[2]) + "/" : temp.path();
    const std::string path = folder + kHistoryFileName;
    std::filesystem::remove(path);
    const std::time_t start = fromLocal(2026, 1, 5, 10, 0, 0);
    const std::vector<LocationKey> keys = fleetKeys();
    std::printf("Read history at %d locations\n", kFleet);

    // One day's reads into a fresh history, through the store, against the bare table.
    std::vector<ReadRecord> day;
    day.reserve(kFleet);
    for (const LocationKey& key : keys) day.push_back(readOf(key, start, 0));
    const double bare = bareDayMs(folder + "bare.db", day);
    std::printf("bare baseline (INSERT of the rows alone): %.0f ms, %.1f us a read\n", bare,
                bare * 1000.0 / kFleet);
    {
        ReadHistoryStore store;
        store.open(path, start);
        dayInsertFigures(store, day, "a day's reads into a fresh history (store)");
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-wal");
    std::filesystem::remove(path + "-shm");

    // The same through the station's recorder: the caller only queues.
    {
        ManualClock clock(start);
        ReadHistory history(clock, LogWriter(WorkingFolder(folder), LogWriter::Records::Dropped));
        history.start(path);
        history.waitOpened(std::chrono::seconds(60));
        double queued = bench::timeMs([&] {
            for (const ReadRecord& r : day) history.record(r);
        });
        double written = bench::timeMs([&] { history.flush(std::chrono::minutes(10)); });
        std::printf(
            "through the recorder: the caller spends %.1f ms (%.2f us a read); the worker "
            "finishes %.0f ms later\n",
            queued, queued * 1000.0 / kFleet, written);
        history.stop();
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + "-wal");
    std::filesystem::remove(path + "-shm");

    // The big file: `days` days of one read a day, a few locations' whole history per
    // transaction (the order a rebuild would take; the days' order is timed after).
    ReadHistoryStore store;
    store.open(path, start);
    std::vector<ReadRecord> batch;
    const double makeMs = bench::timeMs([&] {
        for (size_t k = 0; k < keys.size(); k += kLocationsPerBatch) {
            batch.clear();
            for (size_t j = k; j < std::min(keys.size(), k + kLocationsPerBatch); ++j)
                for (int d = 0; d < days; ++d) batch.push_back(readOf(keys[j], start, d));
            if (!store.insert(batch)) std::printf("insert failed: %s\n", store.lastError().c_str());
        }
    });
    const long long reads = store.readCount();
    std::printf("%d days x %d locations = %lld reads written in %.0f s\n", days, kFleet, reads,
                makeMs / 1000.0);
    std::printf("history file: %.1f MB (%.1f bytes a read)\n", fileBytes(path) / 1e6,
                static_cast<double>(fileBytes(path)) / static_cast<double>(reads));

    day.clear();
    for (const LocationKey& key : keys) day.push_back(readOf(key, start, days));
    dayInsertFigures(store, day, "the next day's reads into the full history (store)");

    ReadHistoryStore reader;
    reader.openForReading(path);
    size_t rows = 0, drifting = 0;
    const double fleetMs = bench::timeMs([&] {
        std::vector<LocationHealth> fleet = reader.latestOfEveryLocation();
        rows = fleet.size();
        for (const LocationHealth& h : fleet) drifting += h.fit().drifting ? 1 : 0;
    });
    std::printf(
        "fleet view (latest read and drift of every location): %.0f ms for %zu rows, "
        "%zu drifting\n",
        fleetMs, rows, drifting);
    size_t history = 0;
    const double oneMs = bench::timeMs([&] {
        history = reader.locationHistory({5, 50, 50}).size();
    });
    std::printf("one location's history: %.2f ms for %zu reads\n", oneMs, history);
    int pruned = 0;
    const double pruneMs = bench::timeMs([&] { pruned = store.pruneSlice(start + kDay, 2000); });
    std::printf("one prune slice (2000 locations, their first day): %.0f ms, %d reads\n", pruneMs,
                pruned);
    ReadHistoryStore checker;
    const double openMs = bench::timeMs([&] { store.close(), checker.open(path, start); });
    std::printf("opening the full history with its integrity check: %.0f ms\n", openMs);
    return 0;
}
