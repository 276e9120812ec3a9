#pragma once

namespace quirn::ctl {

// True when the first word after the global options is "import-calendar" or
// "export-calendar".
bool isCalendarCommand(int argc, const char* const* argv);

// quirnctl import-calendar FILE --groups MG:G,... [--map FILE] [--from DATE --to DATE]
//   [--dry-run] [--folder DIR] [--now 'YYYY-MM-DD HH:MM:SS'] --out DIR
// Reads a school calendar (.ics or the plain CSV) and the working folder's database, maps each
// event by the rules of --map, and prints one line per change, then every unmapped event and
// every refusal. Without --dry-run, and only when nothing is unmapped or refused, applies the
// changes and writes the whole resulting database into --out (created when missing); --out
// is refused while a running station holds it. Exit 0 when applied (or, with --dry-run,
// applicable), 1 when events are unmapped or refused (nothing written), 2 on an error.
//
// quirnctl export-calendar --group MG:G [--from DATE --to DATE] (--ics FILE | --csv FILE)
//   [--folder DIR] [--now ...]
// Writes what the group's switches do on each day (from today for a year without --from/--to).
int runCalendarCommand(int argc, const char* const* argv);

}  // namespace quirn::ctl
