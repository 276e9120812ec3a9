#pragma once
#include <string>
#include <vector>

namespace quirn::test {

// One run of the built quirnctl: its exit code and what it wrote.
struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs quirnctl with the arguments (each passed as one word) through the shell, with its
// output captured in files of `scratch` (a folder of the test's own).
ToolRun runQuirnctl(const std::vector<std::string>& args, const std::string& scratch);
// The same with another copy of the program (one an unprivileged user can reach).
ToolRun runQuirnctlAt(const std::string& program, const std::vector<std::string>& args,
                      const std::string& scratch);

// Lower-case hex of bytes, as --hex prints them.
std::string hexOf(const std::string& bytes);

}  // namespace quirn::test
