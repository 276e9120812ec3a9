#pragma once
#include <functional>

namespace quirn::test {

// POSIX only. Runs `body` in a forked child process and returns its exit code (0..255): the
// body's result, or whatever code the child ended with first (a crash injected into the file
// layer ends it with its own code). -1 when the child could not be started, was ended by a
// signal, or was still running after timeoutMs (it is killed then). What the body checks must
// reach the parent through its result or through files.
int runInChild(const std::function<int()>& body, int timeoutMs = 30000);

}  // namespace quirn::test
