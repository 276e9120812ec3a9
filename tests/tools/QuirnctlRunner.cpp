#include "QuirnctlRunner.h"

#include <cstdlib>

#include "tests/support/TempFolder.h"

namespace quirn::test {

namespace {

#ifdef _WIN32
// A word for cmd.exe in double quotes (the tests' arguments hold no double quotes).
std::string shellWord(const std::string& word) {
    return "\"" + word + "\"";
}
#else
// A word for /bin/sh in single quotes.
std::string shellWord(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
#endif

}  // namespace

ToolRun runQuirnctl(const std::vector<std::string>& args, const std::string& scratch) {
    return runQuirnctlAt(QUIRNCTL_PATH, args, scratch);
}

ToolRun runQuirnctlAt(const std::string& program, const std::vector<std::string>& args,
                      const std::string& scratch) {
    const std::string out = scratch + "stdout", err = scratch + "stderr", rc = scratch + "rc";
    std::string command = shellWord(program);
    for (const std::string& a : args) command += " " + shellWord(a);
    command += " >" + shellWord(out) + " 2>" + shellWord(err);
    ToolRun run;
#ifdef _WIN32
    // cmd.exe gives back the program's exit code; the outer quotes keep it from taking the
    // first and last quote of the line for its own.
    run.exitCode = std::system(("\"" + command + "\"").c_str());
#else
    command += "; echo $? >" + shellWord(rc);
    if (std::system(command.c_str()) != 0) return run;
    run.exitCode = std::atoi(readFile(rc).c_str());
#endif
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

std::string hexOf(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0x0F];
    }
    return hex;
}

}  // namespace quirn::test
