#include "fleethealth/ReadHistoryStore.h"

#include <sqlite3.h>

#include "fleethealth/HistoryRows.h"
#include "fleethealth/HistorySchema.h"
#include "fleethealth/HistorySetAside.h"
#include "fleethealth/SqliteStatement.h"
#include "platform/FileSystem.h"

namespace quirn {

namespace {
// Numbers below every location's, where a prune round starts.
constexpr LocationKey kBeforeEveryLocation{0, 0, 0};
// A writer waits this long for a reader's lock before an insert fails.
constexpr int kBusyWaitMs = 5000;

constexpr const char* kInsertRead =
    "INSERT OR IGNORE INTO reads(mg,g,l,time,seq,state,source,flags,offset,program,relay,result,"
    "bytes) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)";
constexpr const char* kNextSeq =
    "SELECT coalesce(max(seq)+1,0) FROM reads WHERE mg=?1 AND g=?2 AND l=?3 AND time=?4";
constexpr const char* kPruneLocation =
    "DELETE FROM reads WHERE mg=?1 AND g=?2 AND l=?3 AND time<?4";
constexpr const char* kLocationsAfter =
    "SELECT mg,g,l FROM locations WHERE (mg,g,l) > (?1,?2,?3) ORDER BY mg,g,l LIMIT ?4";
constexpr const char* kHistory =
    "SELECT mg,g,l,time,state,source,flags,offset,program,relay,result,bytes FROM reads "
    "WHERE mg=?1 AND g=?2 AND l=?3 AND time>=?4 ORDER BY time,seq";

void bindKey(SqliteStatement& s, const LocationKey& key) {
    s.bind(1, key.masterGroup);
    s.bind(2, key.group);
    s.bind(3, key.location);
}
}  // namespace

struct ReadHistoryStore::Impl {
    sqlite3* db = nullptr;
    std::string error;
    int errorCode = SQLITE_OK;
    bool writing = false;  // opened by open(): the write statements are prepared
    LocationKey pruneCursor = kBeforeEveryLocation;  // the last location a slice visited
    SqliteStatement insertRead, nextSeq, selectSummary, upsertSummary, pruneLocation,
        locationsAfter;

    ~Impl() { close(); }
    void close() {
        finalizeAll();
        if (db) sqlite3_close_v2(db);
        db = nullptr;
        writing = false;
    }
    void finalizeAll() {
        for (SqliteStatement* s : {&insertRead, &nextSeq, &selectSummary, &upsertSummary,
                                   &pruneLocation, &locationsAfter})
            s->finalize();
    }
    bool fail(int code) {
        error = sqliteProblem(db, code);
        errorCode = code;
        return false;
    }
    // Opens the file with SQLite and checks it; the verdict says what to do with it.
    SchemaCheck openChecked(const std::string& path, bool writing) {
        close();
        int flags = writing ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_OPEN_READONLY;
        int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            SchemaCheck c{SchemaCheck::Verdict::Failed, sqliteProblem(db, rc)};
            if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT)
                c.verdict = SchemaCheck::Verdict::Damaged;
            close();
            return c;
        }
        sqlite3_busy_timeout(db, kBusyWaitMs);
        SchemaCheck c = writing ? prepareHistorySchema(db) : checkHistorySchema(db);
        if (c.verdict == SchemaCheck::Verdict::Ready && writing) c = useWal();
        if (c.verdict != SchemaCheck::Verdict::Ready) close();
        return c;
    }
    // WAL lets the window read while the worker writes; NORMAL syncs at checkpoints only, which
    // in WAL mode can lose the last batches at a power cut but never damages the file.
    SchemaCheck useWal() {
        SqliteStatement mode;
        if (!mode.prepare(db, "PRAGMA journal_mode=WAL") || mode.step() != SQLITE_ROW)
            return {SchemaCheck::Verdict::Failed, sqliteProblem(db, sqlite3_errcode(db))};
        if (mode.text(0) != "wal")
            return {SchemaCheck::Verdict::Failed, "the folder does not allow a write-ahead log"};
        sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        return {SchemaCheck::Verdict::Ready, ""};
    }
    bool prepareWriting() {
        return insertRead.prepare(db, kInsertRead) && nextSeq.prepare(db, kNextSeq) &&
               selectSummary.prepare(db, kSelectSummary) &&
               upsertSummary.prepare(db, kUpsertSummary) &&
               pruneLocation.prepare(db, kPruneLocation) &&
               locationsAfter.prepare(db, kLocationsAfter);
    }
    bool insertOne(const ReadRecord& read);
};

ReadHistoryStore::ReadHistoryStore() : impl_(std::make_unique<Impl>()) {}
ReadHistoryStore::~ReadHistoryStore() = default;
ReadHistoryStore::ReadHistoryStore(ReadHistoryStore&&) noexcept = default;
ReadHistoryStore& ReadHistoryStore::operator=(ReadHistoryStore&&) noexcept = default;

HistoryOpenResult ReadHistoryStore::open(const std::string& path, std::time_t now) {
    using Outcome = HistoryOpenResult::Outcome;
    HistoryOpenResult result;
    const bool existed = pathExists(path);
    SchemaCheck first = folderExists(path)
                            ? SchemaCheck{SchemaCheck::Verdict::Damaged, "it is a folder"}
                            : impl_->openChecked(path, true);
    if (first.verdict == SchemaCheck::Verdict::Failed) {
        result.problem = first.problem;
        impl_->error = first.problem;
        return result;
    }
    if (first.verdict == SchemaCheck::Verdict::Damaged) {
        result.problem = first.problem;
        std::string moveProblem;
        if (!setAsideHistory(path, now, result.setAsidePath, moveProblem)) {
            result.problem += "; " + moveProblem;
            impl_->error = result.problem;
            return result;
        }
        SchemaCheck fresh = impl_->openChecked(path, true);
        if (fresh.verdict != SchemaCheck::Verdict::Ready) {
            result.problem += "; a fresh history could not be started: " + fresh.problem;
            impl_->error = result.problem;
            return result;
        }
        result.outcome = Outcome::Replaced;
    } else {
        result.outcome = existed ? Outcome::Opened : Outcome::Created;
    }
    impl_->writing = impl_->prepareWriting();
    if (!impl_->writing) {
        impl_->fail(sqlite3_errcode(impl_->db));
        result.outcome = Outcome::Failed;
        result.problem = impl_->error;
        impl_->close();
    }
    return result;
}

bool ReadHistoryStore::openForReading(const std::string& path) {
    if (!fileExists(path) || folderExists(path)) {
        impl_->error = "no history at " + path;
        return false;
    }
    SchemaCheck c = impl_->openChecked(path, false);
    if (c.verdict != SchemaCheck::Verdict::Ready) {
        impl_->error = c.problem;
        return false;
    }
    return true;
}

void ReadHistoryStore::close() {
    impl_->close();
}

bool ReadHistoryStore::isOpen() const {
    return impl_->db != nullptr;
}

bool ReadHistoryStore::Impl::insertOne(const ReadRecord& read) {
    LocationHealth health;
    selectSummary.reset();
    bindKey(selectSummary, read.location);
    int rc = selectSummary.step();
    if (rc == SQLITE_ROW)
        health = summaryFromRow(selectSummary, 0);
    else if (rc != SQLITE_DONE)
        return fail(rc);
    else
        health.latest.location = read.location;
    selectSummary.reset();

    long long seq = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        insertRead.reset();
        bindRead(insertRead, read, seq);
        if ((rc = insertRead.step()) != SQLITE_DONE) return fail(rc);
        if (sqlite3_changes(db) == 1) break;
        // Another read of this location in the same second: the next free number.
        nextSeq.reset();
        bindKey(nextSeq, read.location);
        nextSeq.bind(4, read.time);
        if ((rc = nextSeq.step()) != SQLITE_ROW) return fail(rc);
        seq = nextSeq.integer(0);
    }
    insertRead.reset();
    nextSeq.reset();

    applyRead(health, read);
    upsertSummary.reset();
    bindSummary(upsertSummary, health);
    rc = upsertSummary.step();
    upsertSummary.reset();
    return rc == SQLITE_DONE || fail(rc);
}

bool ReadHistoryStore::insert(std::span<const ReadRecord> reads) {
    if (!impl_->writing) {
        impl_->error = "the history is not open for writing";
        return false;
    }
    if (int rc = sqlite3_exec(impl_->db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        rc != SQLITE_OK)
        return impl_->fail(rc);
    for (const ReadRecord& read : reads) {
        if (!impl_->insertOne(read)) {
            std::string error = impl_->error;
            sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
            impl_->error = error;
            return false;
        }
    }
    if (int rc = sqlite3_exec(impl_->db, "COMMIT", nullptr, nullptr, nullptr); rc != SQLITE_OK) {
        impl_->fail(rc);
        sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

int ReadHistoryStore::pruneSlice(std::time_t cutoff, int locations) {
    if (!impl_->writing) return -1;
    std::vector<LocationKey> keys;
    SqliteStatement& next = impl_->locationsAfter;
    next.reset();
    bindKey(next, impl_->pruneCursor);
    next.bind(4, locations);
    int rc;
    while ((rc = next.step()) == SQLITE_ROW)
        keys.push_back({static_cast<int>(next.integer(0)), static_cast<int>(next.integer(1)),
                        static_cast<int>(next.integer(2))});
    next.reset();
    if (rc != SQLITE_DONE) return impl_->fail(rc), -1;
    // At the end of the fleet the next slice starts from its beginning again.
    impl_->pruneCursor =
        keys.size() < static_cast<size_t>(locations) ? kBeforeEveryLocation : keys.back();
    if (keys.empty()) return 0;
    if ((rc = sqlite3_exec(impl_->db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK)
        return impl_->fail(rc), -1;
    int deleted = 0;
    SqliteStatement& prune = impl_->pruneLocation;
    for (const LocationKey& key : keys) {
        prune.reset();
        bindKey(prune, key);
        prune.bind(4, cutoff);
        if ((rc = prune.step()) != SQLITE_DONE) {
            impl_->fail(rc);
            prune.reset();
            sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
            return -1;
        }
        deleted += sqlite3_changes(impl_->db);
    }
    prune.reset();
    if ((rc = sqlite3_exec(impl_->db, "COMMIT", nullptr, nullptr, nullptr)) != SQLITE_OK) {
        impl_->fail(rc);
        sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
        return -1;
    }
    return deleted;
}

bool ReadHistoryStore::forEachLocation(
    const std::function<void(const LocationHealth&)>& each) const {
    if (!impl_->db) return false;
    SqliteStatement all;
    std::string sql = std::string("SELECT ") + kSummaryColumns + " FROM locations ORDER BY mg,g,l";
    if (!all.prepare(impl_->db, sql.c_str())) return impl_->fail(sqlite3_errcode(impl_->db));
    int rc;
    while ((rc = all.step()) == SQLITE_ROW) each(summaryFromRow(all, 0));
    return rc == SQLITE_DONE || impl_->fail(rc);
}

std::vector<LocationHealth> ReadHistoryStore::latestOfEveryLocation() const {
    std::vector<LocationHealth> rows;
    forEachLocation([&rows](const LocationHealth& h) { rows.push_back(h); });
    return rows;
}

bool ReadHistoryStore::locationHealth(const LocationKey& location, LocationHealth& out) const {
    if (!impl_->db) return false;
    SqliteStatement one;
    if (!one.prepare(impl_->db, kSelectSummary)) return impl_->fail(sqlite3_errcode(impl_->db));
    bindKey(one, location);
    int rc = one.step();
    if (rc == SQLITE_ROW) {
        out = summaryFromRow(one, 0);
        return true;
    }
    if (rc != SQLITE_DONE) impl_->fail(rc);
    return false;
}

std::vector<ReadRecord> ReadHistoryStore::locationHistory(const LocationKey& location,
                                                          std::time_t since) const {
    std::vector<ReadRecord> reads;
    if (!impl_->db) return reads;
    SqliteStatement history;
    if (!history.prepare(impl_->db, kHistory)) {
        impl_->fail(sqlite3_errcode(impl_->db));
        return reads;
    }
    bindKey(history, location);
    history.bind(4, since);
    int rc;
    while ((rc = history.step()) == SQLITE_ROW) reads.push_back(readFromRow(history, 0));
    if (rc != SQLITE_DONE) impl_->fail(rc);
    return reads;
}

long long ReadHistoryStore::readCount() const {
    if (!impl_->db) return -1;
    SqliteStatement count;
    if (!count.prepare(impl_->db, "SELECT count(*) FROM reads") || count.step() != SQLITE_ROW)
        return -1;
    return count.integer(0);
}

const std::string& ReadHistoryStore::lastError() const {
    return impl_->error;
}

bool ReadHistoryStore::lastErrorIsDamage() const {
    const int primary = impl_->errorCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace quirn
