#pragma once
#include <functional>
#include <string>

namespace quirn::test {

// POSIX only. Runs `body` in a child process that the file permissions apply to: started as
// root (as CI runs), the child takes the identity of "nobody" first, so a file of mode 000 is
// really unreadable to it. Returns the body's result (0..255), or -1 when the child could not
// be started, could not drop its privileges, or was still running after timeoutMs (it is
// killed then). The body runs in the child: what it checks must reach the parent through its
// result or through files.
int runUnprivileged(const std::function<int()>& body, int timeoutMs = 30000);

// Lets the unprivileged child read and write everything under `folder` (the folder itself
// included), as a working folder it owned would be.
void openUpForUnprivileged(const std::string& folder);

// Makes a file unreadable to the unprivileged child (its content stays as it is).
bool makeUnreadable(const std::string& path);

}  // namespace quirn::test
