#include "fleethealth/HistorySchema.h"

#include <array>

#include "fleethealth/ReadHistoryStore.h"
#include "fleethealth/SqliteStatement.h"
#include "platform/Format.h"

namespace quirn {

namespace {

// Marks the file as a read history ("QRRH"), so another program's database is not taken for one.
constexpr long long kHistoryApplicationId = 0x51525248;

// One step of the schema: the statements that take a file from version `from` to from + 1.
struct Migration {
    int from;
    const char* sql;
};

// Version 1. Both tables are keyed by location, so one location's reads and every location's
// summary are range scans of their primary keys: no other index is needed. `seq` tells apart
// two reads of one location in the same second. `locations` holds each location's latest read
// and its drift sums since its clock's last set, so the fleet's view is one pass of 98,010 rows.
constexpr const char* kSchemaVersion1 = R"sql(
CREATE TABLE reads(
  mg INTEGER NOT NULL, g INTEGER NOT NULL, l INTEGER NOT NULL,
  time INTEGER NOT NULL, seq INTEGER NOT NULL,
  state INTEGER NOT NULL, source INTEGER NOT NULL, flags INTEGER NOT NULL,
  offset INTEGER, program INTEGER NOT NULL, relay INTEGER NOT NULL,
  result INTEGER NOT NULL, bytes INTEGER NOT NULL,
  PRIMARY KEY(mg, g, l, time, seq)) WITHOUT ROWID;
CREATE TABLE locations(
  mg INTEGER NOT NULL, g INTEGER NOT NULL, l INTEGER NOT NULL,
  time INTEGER NOT NULL, state INTEGER NOT NULL, source INTEGER NOT NULL,
  flags INTEGER NOT NULL, offset INTEGER, program INTEGER NOT NULL, relay INTEGER NOT NULL,
  result INTEGER NOT NULL, bytes INTEGER NOT NULL,
  last_answered INTEGER NOT NULL, last_validated INTEGER NOT NULL,
  run_start INTEGER NOT NULL, n INTEGER NOT NULL,
  sx REAL NOT NULL, sy REAL NOT NULL, sxx REAL NOT NULL, sxy REAL NOT NULL,
  last_time INTEGER NOT NULL, last_offset REAL NOT NULL, last_flags INTEGER NOT NULL,
  PRIMARY KEY(mg, g, l)) WITHOUT ROWID;
)sql";

constexpr std::array<Migration, 1> kMigrations{{{0, kSchemaVersion1}}};

bool execute(sqlite3* db, const char* sql, std::string& problem) {
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        problem = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool isDamageCode(int code) {
    int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_FORMAT;
}

SchemaCheck verdict(SchemaCheck::Verdict v, std::string problem) {
    return {v, std::move(problem)};
}

// A pragma's single integer, or the failing code.
int pragmaInteger(sqlite3* db, const char* sql, long long& value) {
    SqliteStatement statement;
    if (!statement.prepare(db, sql)) return sqlite3_errcode(db);
    int rc = statement.step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
    value = statement.integer(0);
    return SQLITE_OK;
}

SchemaCheck failure(sqlite3* db, int code) {
    return verdict(
        isDamageCode(code) ? SchemaCheck::Verdict::Damaged : SchemaCheck::Verdict::Failed,
        sqliteProblem(db, code));
}

// Reads every page once: a truncated or overwritten file fails here, not halfway through a day.
SchemaCheck integrity(sqlite3* db) {
    SqliteStatement check;
    if (!check.prepare(db, "PRAGMA quick_check(1)")) return failure(db, sqlite3_errcode(db));
    int rc = check.step();
    if (rc != SQLITE_ROW) return failure(db, rc);
    std::string answer = check.text(0);
    if (answer != "ok") return verdict(SchemaCheck::Verdict::Damaged, "integrity check: " + answer);
    return verdict(SchemaCheck::Verdict::Ready, "");
}

// Schema objects in the file; -1 when they cannot be counted.
long long objectCount(sqlite3* db, const char* names = nullptr) {
    SqliteStatement count;
    std::string sql = "SELECT count(*) FROM sqlite_master";
    if (names != nullptr) sql += format(" WHERE name IN (%s)", names);
    if (!count.prepare(db, sql.c_str()) || count.step() != SQLITE_ROW) return -1;
    return count.integer(0);
}

constexpr const char* kTableNames = "'reads','locations'";
constexpr long long kTableCount = 2;

// `whole` runs SQLite's quick check over every page: seconds for a year of a large fleet, so
// only the station's writer pays it, once at start-up. A reader trusts that check; a page
// damaged since fails the reader's query, which then answers with nothing.
SchemaCheck check(sqlite3* db, long long& version, bool whole) {
    long long applicationId = 0;
    if (int rc = pragmaInteger(db, "PRAGMA application_id", applicationId); rc != SQLITE_OK)
        return failure(db, rc);
    if (int rc = pragmaInteger(db, "PRAGMA user_version", version); rc != SQLITE_OK)
        return failure(db, rc);
    SchemaCheck checked = whole ? integrity(db) : verdict(SchemaCheck::Verdict::Ready, "");
    if (checked.verdict != SchemaCheck::Verdict::Ready) return checked;
    if (version > kHistorySchemaVersion)
        return verdict(SchemaCheck::Verdict::Damaged,
                       format("schema version %lld is newer than this program's %d", version,
                              kHistorySchemaVersion));
    if (version == 0) {
        // A new file has nothing in it; anything else is another program's database.
        if (objectCount(db) != 0)
            return verdict(SchemaCheck::Verdict::Damaged, "not a read history");
        return checked;
    }
    if (applicationId != kHistoryApplicationId)
        return verdict(SchemaCheck::Verdict::Damaged, "not a read history");
    if (objectCount(db, kTableNames) != kTableCount)
        return verdict(SchemaCheck::Verdict::Damaged, "the history's tables are missing");
    return checked;
}

}  // namespace

std::string sqliteProblem(sqlite3* db, int code) {
    const char* message = db ? sqlite3_errmsg(db) : nullptr;
    if (message && (sqlite3_errcode(db) & 0xff) == (code & 0xff)) return message;
    return sqlite3_errstr(code);
}

SchemaCheck checkHistorySchema(sqlite3* db) {
    long long version = 0;
    SchemaCheck checked = check(db, version, false);
    if (checked.verdict == SchemaCheck::Verdict::Ready && version != kHistorySchemaVersion)
        return verdict(SchemaCheck::Verdict::Failed,
                       format("schema version %lld, not %d", version, kHistorySchemaVersion));
    return checked;
}

SchemaCheck prepareHistorySchema(sqlite3* db) {
    long long version = 0;
    SchemaCheck checked = check(db, version, true);
    if (checked.verdict != SchemaCheck::Verdict::Ready) return checked;
    for (const Migration& step : kMigrations) {
        if (step.from != version) continue;
        std::string problem;
        std::string sql = format(
            "BEGIN IMMEDIATE;%sPRAGMA application_id=%lld;"
            "PRAGMA user_version=%d;COMMIT;",
            step.sql, kHistoryApplicationId, step.from + 1);
        if (!execute(db, sql.c_str(), problem)) {
            std::string ignored;
            execute(db, "ROLLBACK", ignored);
            return verdict(SchemaCheck::Verdict::Failed, "schema update: " + problem);
        }
        version = step.from + 1;
    }
    if (version != kHistorySchemaVersion)
        return verdict(SchemaCheck::Verdict::Damaged,
                       format("no way from schema version %lld", version));
    return checked;
}

}  // namespace quirn
