#pragma once

namespace quirn::ctl {

// True when the first word after the global options is "report".
bool isReportCommand(int argc, const char* const* argv);

// quirnctl report fleet [--since YYYY-MM-DD] [--csv FILE | --html FILE] [--root DIR] [--now ...]
// Every location of the working folder's database with its latest read from the read history
// (ReadHistory.db), its clock offset, drift and open error records. Prints the summary and the
// worst ten; --csv writes every row, --html a self-contained page (summary, charts of the worst
// ten from --since on, default 90 days before now, and every row, worst first).
//
// quirnctl report location MG G L [--since YYYY-MM-DD] [--csv FILE] [--root DIR] [--now ...]
// One location's reads (from --since on, default all kept), its drift and its clock limit.
//
// Exit 0, or 2 on an error. A folder without a read history reports the snapshot's reads and
// says so on stderr.
int runReportCommand(int argc, const char* const* argv);

}  // namespace quirn::ctl
