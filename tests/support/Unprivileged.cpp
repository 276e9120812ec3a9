#include "tests/support/Unprivileged.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/ChildRun.h"

namespace quirn::test {

namespace {
constexpr uid_t kNobody = 65534;
constexpr int kCannotDropPrivileges = 120;
}  // namespace

int runUnprivileged(const std::function<int()>& body, int timeoutMs) {
    int code = runInChild(
        [&body] {
            if (::geteuid() == 0) {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                    ::setuid(kNobody) != 0)
                    return kCannotDropPrivileges;
            }
            return body();
        },
        timeoutMs);
    return code == kCannotDropPrivileges ? -1 : code;
}

void openUpForUnprivileged(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder, fs::perms::all, ec);
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::end(it); ++it)
        fs::permissions(it->path(), fs::perms::all, ec);
}

bool makeUnreadable(const std::string& path) {
    return ::chmod(path.c_str(), 0) == 0;
}

}  // namespace quirn::test
