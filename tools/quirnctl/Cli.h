#pragma once
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirn::ctl {

// Exit codes of quirnctl.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMismatch = 1;  // validate: the switch does not validate
inline constexpr int kExitError = 2;

// The command line, split into the global options, the command's own options and the
// command words.
struct Options {
    std::string root;                // empty: the program's working folder
    std::optional<std::string> now;  // --now text as given
    bool hex = false;
    bool help = false;
    bool json = false;                    // db check --json
    std::optional<std::string> readTime;  // validate --read-time
    std::optional<std::string> out;       // db resave --out
    std::vector<std::string> words;       // COMMAND ARGS
};

// Splits argv. Returns an error line for an option without its value or an unknown option.
std::optional<std::string> parseOptions(int argc, const char* const* argv, Options& options);

// A whole decimal number within [lo, hi], or nothing.
std::optional<int> parseNumber(std::string_view text, int lo, int hi);

// "YYYY-MM-DD HH:MM:SS" as local time, or nothing for any other text or an impossible date.
std::optional<std::time_t> parseDateTime(std::string_view text);

// Prints "quirnctl: <message>" on stderr and returns kExitError.
int fail(const std::string& message);

// Writes bytes to stdout: raw, or as one line of lowercase hex with --hex.
void writeBytes(std::string_view bytes, bool hex);
// Writes a line of text to stdout.
void writeLine(std::string_view text);

// The usage text of --help.
const char* usageText();

}  // namespace quirn::ctl
