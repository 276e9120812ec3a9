// quirnctl's command line from any arguments (the input split on NUL bytes). The parser never
// fails without a message naming what it refused; a command line it takes, spelt again from
// what it took, is taken the same. Every word is also tried as the numbers and date-times the
// commands read: a value taken, spelt again, is taken as the same value, by the free forms of
// the other programs too.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/support/FuzzArgs.h"
#include "platform/CommandLineValues.h"
#include "tools/quirnctl/Cli.h"

namespace {

using quirn::ctl::Options;

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2037;

std::optional<std::string> parse(const std::vector<std::string>& args, Options& options) {
    std::vector<const char*> argv{"quirnctl"};
    for (const auto& a : args) argv.push_back(a.c_str());
    return quirn::ctl::parseOptions(static_cast<int>(argv.size()), argv.data(), options);
}

bool same(const Options& a, const Options& b) {
    return a.root == b.root && a.now == b.now && a.hex == b.hex && a.help == b.help &&
           a.readTime == b.readTime && a.out == b.out && a.words == b.words;
}

// The options as one would write them again.
std::vector<std::string> spelt(const Options& o) {
    std::vector<std::string> args;
    if (!o.root.empty()) args.insert(args.end(), {"--root", o.root});
    if (o.now) args.insert(args.end(), {"--now", *o.now});
    if (o.readTime) args.insert(args.end(), {"--read-time", *o.readTime});
    if (o.out) args.insert(args.end(), {"--out", *o.out});
    if (o.hex) args.emplace_back("--hex");
    if (o.help) args.emplace_back("--help");
    args.insert(args.end(), o.words.begin(), o.words.end());
    return args;
}

void checkNumber(const std::string& text, int lo, int hi) {
    std::optional<int> n = quirn::ctl::parseNumber(text, lo, hi);
    if (!n) return;
    if (*n < lo || *n > hi) std::abort();
    if (quirn::ctl::parseNumber(std::to_string(*n), lo, hi) != n) std::abort();
    // The plain form is a part of the C library's.
    if (quirn::parseWholeNumber(text, lo, hi, quirn::NumberForm::CLibrary) != *n) std::abort();
}

void checkDateTime(const std::string& text) {
    using quirn::DateTimeForm;
    std::optional<quirn::LocalDateTime> fixed =
        quirn::parseDateTime(text, DateTimeForm::Fixed, kFirstYear, kLastYear);
    std::optional<std::time_t> when = quirn::ctl::parseDateTime(text);
    if (fixed.has_value() != when.has_value()) std::abort();
    if (fixed) {
        const std::string again = quirn::fuzz::dateTimeText(*fixed);
        if (quirn::parseDateTime(again, DateTimeForm::Fixed, kFirstYear, kLastYear) != fixed)
            std::abort();
        if (quirn::ctl::parseDateTime(again) != when) std::abort();
        if (quirn::parseDateTime(text, DateTimeForm::Free, kFirstYear, kLastYear) != fixed)
            std::abort();
    }
    // What the free form takes, spelt in full, the fixed form takes as the same.
    std::optional<quirn::LocalDateTime> free =
        quirn::parseDateTime(text, DateTimeForm::Free, kFirstYear, kLastYear);
    if (free && quirn::parseDateTime(quirn::fuzz::dateTimeText(*free), DateTimeForm::Fixed,
                                     kFirstYear, kLastYear) != free)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = quirn::fuzz::argsOf(data, size);
    Options options;
    std::optional<std::string> error = parse(args, options);
    if (error) {
        // The message names the option refused, as it was given.
        bool named = false;
        for (const auto& a : args)
            named = named || (a.size() > 2 && a.compare(0, 2, "--") == 0 &&
                              error->find(a) != std::string::npos);
        if (error->empty() || !named) std::abort();
        return 0;
    }
    Options again;
    if (parse(spelt(options), again) || !same(options, again)) std::abort();

    std::vector<std::string> values = options.words;
    if (options.now) values.push_back(*options.now);
    if (options.readTime) values.push_back(*options.readTime);
    for (const auto& v : values) {
        checkNumber(v, 0, 10);
        checkNumber(v, 1, 99);
        checkNumber(v, INT_MIN, INT_MAX);
        checkDateTime(v);
    }
    return 0;
}
