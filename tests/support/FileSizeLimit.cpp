#include "tests/support/FileSizeLimit.h"

#include <sys/resource.h>

#include <csignal>

#include "tests/support/ChildRun.h"

namespace quirn::test {

int runWithFileSizeLimit(std::size_t bytes, const std::function<int()>& body) {
    return runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return body();
    });
}

}  // namespace quirn::test
