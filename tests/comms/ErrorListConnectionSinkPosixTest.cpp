#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "comms/ErrorListConnectionSink.h"
#include "comms/IpConnection.h"
#include "ops/ErrorList.h"
#include "ops/ErrorRecord.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

class IgnoreValidateFailures final : public ValidateFailureListener {
  public:
    void notifyValidateFailure(const ErrorRecord&) override {}
};

// A refused connect becomes one ErrorIPConnect record of the real error list; a connect that
// succeeds clears it again.
TEST(ErrorListConnectionSink, RecordsRefusedConnectsOnceAndClearsThemOnAnswer) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    makeFolder(folder.logs());
    ManualClock clock(1773570000);
    IgnoreValidateFailures listener;
    ErrorList list(clock, working, listener);
    ErrorListConnectionSink sink(list);
    test::FakeProtocol protocol;
    unsigned port;
    {
        test::LoopbackServer probe("127.0.0.9");
        ASSERT_TRUE(probe.ok());
        port = probe.port();
    }
    IpConnection entry(
        IpServices{LinkServices{clock, logWriter, protocol, protocol, nullptr}, sink, {}},
        "127.0.0.9");
    entry.setPort(port);
    auto runUntilIdle = [&] {
        for (int i = 0; i < 2000; ++i) {
            entry.step();
            if (entry.state() == IpConnection::State::Idle) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };
    const unsigned char bytes[] = {'@', 'P', '#'};
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(entry.queueDirect(bytes, sizeof bytes));
        ASSERT_TRUE(runUntilIdle());
    }
    ASSERT_EQ(list.countOfKind(ErrorKind::IPConnect), 1u);
    EXPECT_EQ(list.at(0)->text, "127.0.0.9");

    test::LoopbackServer server("127.0.0.9", port);
    ASSERT_TRUE(server.ok());
    ASSERT_TRUE(entry.queueDirect(bytes, sizeof bytes));
    for (int i = 0; i < 2000 && entry.state() != IpConnection::State::Staying; ++i) {
        entry.step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(entry.state(), IpConnection::State::Staying);
    EXPECT_EQ(list.countOfKind(ErrorKind::IPConnect), 0u);
}

}  // namespace
}  // namespace quirn
