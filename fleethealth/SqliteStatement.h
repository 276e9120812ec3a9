#pragma once
#include <sqlite3.h>

#include <string>

namespace quirn {

// A prepared statement that finalizes itself. Used by the history's own files only: nothing
// outside fleethealth/ sees SQLite.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    ~SqliteStatement() { finalize(); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // False (and nothing prepared) when SQLite refuses the text.
    bool prepare(sqlite3* db, const char* sql) {
        finalize();
        return sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) == SQLITE_OK;
    }
    void finalize() {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
    bool ready() const { return statement_ != nullptr; }
    void bind(int index, long long value) { sqlite3_bind_int64(statement_, index, value); }
    void bindDouble(int index, double value) { sqlite3_bind_double(statement_, index, value); }
    void bindNull(int index) { sqlite3_bind_null(statement_, index); }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(statement_); }
    void reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    long long integer(int column) const { return sqlite3_column_int64(statement_, column); }
    double real(int column) const { return sqlite3_column_double(statement_, column); }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    std::string text(int column) const {
        const unsigned char* t = sqlite3_column_text(statement_, column);
        return t ? reinterpret_cast<const char*>(t) : "";
    }

  private:
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace quirn
