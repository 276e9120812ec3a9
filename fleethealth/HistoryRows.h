#pragma once
#include "fleethealth/LocationHealth.h"
#include "fleethealth/ReadRecord.h"
#include "fleethealth/SqliteStatement.h"

namespace quirn {

// The columns of a location's summary row, in the order summaryFromRow reads them; the first
// twelve are also a read's row, in readFromRow's order.
inline constexpr const char* kSummaryColumns =
    "mg,g,l,time,state,source,flags,offset,program,relay,result,bytes,last_answered,"
    "last_validated,run_start,n,sx,sy,sxx,sxy,last_time,last_offset,last_flags";
inline constexpr const char* kSelectSummary =
    "SELECT mg,g,l,time,state,source,flags,offset,program,relay,result,bytes,last_answered,"
    "last_validated,run_start,n,sx,sy,sxx,sxy,last_time,last_offset,last_flags FROM locations "
    "WHERE mg=?1 AND g=?2 AND l=?3";
inline constexpr const char* kUpsertSummary =
    "INSERT OR REPLACE INTO locations(mg,g,l,time,state,source,flags,offset,program,relay,result,"
    "bytes,last_answered,last_validated,run_start,n,sx,sy,sxx,sxy,last_time,last_offset,"
    "last_flags) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,?18,?19,?20,"
    "?21,?22,?23)";

// Binds a read to the insert's 13 parameters (mg, g, l, time, seq, then the read's fields).
void bindRead(SqliteStatement& statement, const ReadRecord& read, long long seq);
// Binds a summary to kUpsertSummary's 23 parameters.
void bindSummary(SqliteStatement& statement, const LocationHealth& health);
// A read from the row's twelve columns starting at `first`.
ReadRecord readFromRow(const SqliteStatement& row, int first);
// A summary from the row's kSummaryColumns starting at `first`.
LocationHealth summaryFromRow(const SqliteStatement& row, int first);

}  // namespace quirn
