#pragma once
#include <cstddef>
#include <functional>

namespace quirn::test {

// POSIX only. Runs `body` in a child process whose files may grow to `bytes` at most, the way a
// full disk (or a crash part way) stops a save; writes beyond it fail instead of killing the
// child. Returns the body's result (0..255), or -1 when the child did not end normally.
int runWithFileSizeLimit(std::size_t bytes, const std::function<int()>& body);

}  // namespace quirn::test
