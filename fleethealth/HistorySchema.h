#pragma once
#include <sqlite3.h>

#include <string>

namespace quirn {

// What a history file's contents are, once SQLite has opened it.
struct SchemaCheck {
    enum class Verdict {
        Ready,    // the current schema (brought up to date if it was older)
        Damaged,  // not a database, failing its integrity check, or not a history of ours
        Failed,   // the file is fine but could not be written (read-only, disk full)
    };
    Verdict verdict = Verdict::Failed;
    std::string problem;
};

// Checks a freshly opened connection and brings its schema to kHistorySchemaVersion: an empty
// file gets the schema; an older version runs the migrations one version at a time, each in
// its own transaction; a newer version (a later program's file) counts as damaged here, as the
// station cannot write it safely.
SchemaCheck prepareHistorySchema(sqlite3* db);
// The same checks for a connection that only reads, but not page by page (the writer checked
// the file whole when it opened it): no migration, no schema is created.
SchemaCheck checkHistorySchema(sqlite3* db);

// SQLite's word for an error code ("database disk image is malformed").
std::string sqliteProblem(sqlite3* db, int code);

}  // namespace quirn
