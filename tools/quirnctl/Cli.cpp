#include "tools/quirnctl/Cli.h"

#include <cstdio>

#include "platform/CommandLineValues.h"
#include "platform/LocalTime.h"

namespace quirn::ctl {

namespace {

// The years a date-time of the command line may name.
constexpr int kMinYear = 1970;
constexpr int kMaxYear = 2037;
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0x0F;

struct ValueOption {
    const char* name;
    std::optional<std::string> Options::*target;
};

}  // namespace

std::optional<std::string> parseOptions(int argc, const char* const* argv, Options& options) {
    const ValueOption valueOptions[] = {
        {"--now", &Options::now}, {"--read-time", &Options::readTime}, {"--out", &Options::out}};
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--hex") {
            options.hex = true;
            continue;
        }
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--root") {
            if (i + 1 >= argc) return "--root needs a folder";
            options.root = argv[++i];
            continue;
        }
        bool taken = false;
        for (const ValueOption& o : valueOptions) {
            if (arg != o.name) continue;
            if (i + 1 >= argc) return std::string(o.name) + " needs a value";
            options.*o.target = argv[++i];
            taken = true;
        }
        if (taken) continue;
        if (arg.size() > 2 && arg.substr(0, 2) == "--") return "unknown option " + std::string(arg);
        options.words.emplace_back(arg);
    }
    return std::nullopt;
}

std::optional<int> parseNumber(std::string_view text, int lo, int hi) {
    return quirn::parseNumber(text, lo, hi, NumberForm::Plain);
}

std::optional<std::time_t> parseDateTime(std::string_view text) {
    std::optional<LocalDateTime> t =
        quirn::parseDateTime(text, DateTimeForm::Fixed, kMinYear, kMaxYear);
    if (!t) return std::nullopt;
    return fromLocal(*t);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "quirnctl: %s\n", message.c_str());
    return kExitError;
}

void writeBytes(std::string_view bytes, bool hex) {
    if (!hex) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        return;
    }
    std::string line;
    line.reserve(bytes.size() * 2 + 1);
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        line += kHexDigits[u >> kNibbleBits];
        line += kHexDigits[u & kNibbleMask];
    }
    writeLine(line);
}

void writeLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

const char* usageText() {
    return R"(Usage: quirnctl [--root DIR] [--now 'YYYY-MM-DD HH:MM:SS'] [--hex] COMMAND ARGS

Global options:
  --root DIR     working folder to read (default: the program's working folder)
  --now TIME     fixes every clock read of the command (local time, zone from TZ)
  --hex          binary output as one line of lowercase hex without spaces
  --help         this text

Programming (binary output):
  program MG G L          the location's complete programming, as the station sends it
  group-program MG G      'D' and 'W' to every location of a group (needs a QN510)
  image MG G L            the 968-byte program image rebuilt for the location

Single messages (binary output), each as its command builds it:
  message manual MG G L on|off      message time MG G
  message time-all                  message timedate
  message read MG G L               message delay MG G L
  message log-request MG G L BLOCK  message log-clear MG G L
  message override MG G             message default-week MG G L
  message special-week MG G L       message summer-week MG G L
  message bcd-time MG G L           message bcd-relay MG G L VALUE
  message mx40-read MG G L          message lr40-read MG G L
  message query MG G L              message baud 2400|4800
  message page-all

Decoding (JSON output):
  decode TEXT             the paged messages found in TEXT
  readback MODEL FILE     a reply (MODEL qn510, strider, mx40 or lr40; raw or compact)

Checking:
  validate MG G L FILE --read-time 'YYYY-MM-DD HH:MM:SS'
                          prints the comparison result bits; exit 0 when 0, 1 otherwise

Database:
  db check [--json]       every line of the database files that the station reads otherwise
                          than it says, or that cannot reach a time switch as written, with
                          what the station does with it; exit 0 when none, 1 with findings
  db resave --out DIR     load the working folder and save everything into DIR

School year (each with its own --help):
  import-calendar FILE --groups MG:G,... [--map FILE] [--dry-run] --out DIR
                          a district's .ics or CSV calendar as holidays, vacations and
                          annual plans; prints the changes; exit 1 while events are unmapped
  export-calendar --group MG:G (--ics FILE | --csv FILE) [--from DATE --to DATE]
                          what the group's switches do on each day, for the schools

The fleet, from the read history (report with its own --help):
  report fleet [--since DATE] [--csv FILE | --html FILE]
                          the summary and the worst ten; every row as CSV, or a page with
                          the charts of the worst ten that prints on A4 or Letter
  report location MG G L [--since DATE] [--csv FILE]
                          one location's reads, its drift and its clock limit

A time switch on a port, in real time (loader and timetest each with its own --help):
  ports                   the serial devices this computer has, one a line, for --port
  loader --port DEVICE [--type 0|1|2|3] JOB
                          the loader's write, read, relay, time and baud jobs
  timetest NAME --port DEVICE [--type 0|1|2|3] [--date YYYY-MM-DD]
                          the advanced time tests: date-flip, step16, ap36, dwp, step2460,
                          dst or all; exit 0 when every check passed, 1 when one failed

Programming to the fleet, over the radio on a port and the locations' IP links (own --help):
  send-plan --port DEVICE (--all | --changed | --master-group MG | --group MG:G,... |
            --location MG:G:L,...) [--folder DIR] [--dry-run]
                          the estimate, progress and what was sent or given up; exit 0
                          when everything went out, 1 when not, 2 when refused

quirnctl only reads the working folder; only 'db resave' and 'import-calendar' write, into
their --out folder (import-calendar refuses one a running station holds), 'report' into
its --csv or --html file, and 'send-plan' its sent.csv and System log (holding the
station's lock meanwhile).
Errors print one line on stderr and exit with 2.
)";
}

}  // namespace quirn::ctl
