// The radio port on Windows without hardware: the serial layer opens the named pipe that the
// pseudo-terminal backend serves (as the simulated time switch does), moves bytes both ways,
// and reports the far end going away as a lost port.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/PseudoTerminal.h"
#include "platform/SerialDevice.h"
#include "platform/SerialDeviceList.h"

namespace quirn {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 5s;
constexpr int kTurnMs = 5;

bool eventually(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// The device side served on a thread of its own, as quirn-sim serves it: whatever arrives is
// collected, whatever is queued is sent.
class ServedPipe {
  public:
    ServedPipe() : pty_(createPseudoTerminal()) {}
    ~ServedPipe() { stop(); }
    bool start() {
        if (!pty_->open(kBaud2400)) return false;
        worker_ = std::thread([this] { serve(); });
        return true;
    }
    void stop() {
        stopping_ = true;
        if (worker_.joinable()) worker_.join();
    }
    // Closes the device side from its own thread, as a simulator that ends.
    void closeFarEnd() {
        stop();
        pty_->close();
    }
    const std::string& path() const { return pty_->devicePath(); }
    void send(const std::string& bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        outgoing_ += bytes;
    }
    std::string received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }
    bool failed() const { return failed_; }

  private:
    void serve() {
        while (!stopping_) {
            if (!turn()) {
                failed_ = true;
                return;
            }
            pty_->waitReadable(kTurnMs);
        }
    }
    bool turn() {
        unsigned char buffer[256];
        const long got = pty_->read(buffer, sizeof buffer);
        if (got < 0) return false;
        std::lock_guard<std::mutex> lock(mutex_);
        received_.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(got));
        if (outgoing_.empty()) return true;
        const long sent =
            pty_->write(reinterpret_cast<const unsigned char*>(outgoing_.data()), outgoing_.size());
        if (sent < 0) return false;
        outgoing_.erase(0, static_cast<std::size_t>(sent));
        return true;
    }

    std::unique_ptr<PseudoTerminal> pty_;
    std::thread worker_;
    std::mutex mutex_;
    std::string received_;
    std::string outgoing_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
};

std::string readAll(SerialDevice& device, std::size_t wanted) {
    std::string got;
    eventually([&] {
        unsigned char buffer[256];
        const long n = device.read(buffer, sizeof buffer);
        if (n > 0) got.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
        return n < 0 || got.size() >= wanted;
    });
    return got;
}

long write(SerialDevice& device, const std::string& bytes) {
    return device.write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(Win32PipeSerialDevice, ThePipeIsNamedInThePipeNamespaceAndOpensAsADevice) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    EXPECT_EQ(pipe.path().rfind("\\\\.\\pipe\\quirn-sim-", 0), 0u) << pipe.path();
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pipe.path(), kBaud4800)) << device->errorText();
    EXPECT_TRUE(device->isOpen());
    // A pipe has no line rate: the port reports the one it was asked for.
    EXPECT_EQ(device->currentBaud(), kBaud4800);
    EXPECT_EQ(device->waiting(), 0);
}

TEST(Win32PipeSerialDevice, BytesGoBothWaysWholeAndInOrder) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pipe.path(), kBaud2400)) << device->errorText();

    std::string request("R\x01\x02\x00\xff end", 9);
    ASSERT_EQ(write(*device, request), static_cast<long>(request.size()));
    ASSERT_TRUE(eventually([&] { return pipe.received().size() >= request.size(); }));
    EXPECT_EQ(pipe.received(), request);

    // A reply longer than one read chunk of either side.
    std::string reply;
    for (int i = 0; i < 5000; ++i) reply += static_cast<char>('A' + i % 26);
    pipe.send(reply);
    ASSERT_TRUE(eventually([&] { return device->waiting() > 0; }));
    EXPECT_EQ(readAll(*device, reply.size()), reply);
    EXPECT_EQ(device->waiting(), 0);
    EXPECT_FALSE(pipe.failed());
}

TEST(Win32PipeSerialDevice, DiscardDropsWhatWaitsAndLaterBytesStillCome) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pipe.path(), kBaud2400)) << device->errorText();
    pipe.send("stale bytes");
    ASSERT_TRUE(eventually([&] { return device->waiting() == 11; }));
    ASSERT_TRUE(device->discardInput());
    EXPECT_EQ(device->waiting(), 0);
    // As the station does: the input dropped, then a request, whose answer comes through.
    ASSERT_EQ(write(*device, "?"), 1);
    ASSERT_TRUE(eventually([&] { return pipe.received() == "?"; })) << pipe.received();
    pipe.send("fresh");
    EXPECT_EQ(readAll(*device, 5), "fresh");
}

TEST(Win32PipeSerialDevice, TheDeviceIsExclusiveAndOpensAgainAfterAClose) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    auto first = createSerialDevice();
    ASSERT_TRUE(first->open(pipe.path(), kBaud2400)) << first->errorText();
    auto second = createSerialDevice();
    EXPECT_FALSE(second->open(pipe.path(), kBaud2400)) << "a second program while one holds it";
    EXPECT_FALSE(second->isOpen());
    EXPECT_FALSE(second->errorText().empty());

    // Closed and opened again at once, as the station does when the rate changes.
    first->close();
    ASSERT_TRUE(first->open(pipe.path(), kBaud4800)) << first->errorText();
    ASSERT_EQ(write(*first, "again"), 5);
    ASSERT_TRUE(eventually([&] { return pipe.received() == "again"; })) << pipe.received();
    EXPECT_FALSE(pipe.failed()) << "the device side outlives the programs that open it";
}

TEST(Win32PipeSerialDevice, TheFarEndGoingAwayIsALostPort) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pipe.path(), kBaud2400)) << device->errorText();
    const std::string path = pipe.path();
    pipe.closeFarEnd();
    EXPECT_TRUE(eventually([&] { return device->waiting() < 0; }));
    unsigned char buffer[16];
    EXPECT_EQ(device->read(buffer, sizeof buffer), -1);
    EXPECT_EQ(write(*device, "lost"), -1);
    EXPECT_FALSE(device->discardInput());
    // The name is gone with its server.
    device->close();
    EXPECT_FALSE(device->open(path, kBaud2400));
}

TEST(Win32PipeSerialDevice, AServedPipeIsAPresentDeviceWhetherOrNotItIsOpen) {
    ServedPipe pipe;
    ASSERT_TRUE(pipe.start());
    const std::string path = pipe.path();
    EXPECT_TRUE(serialDevicePresent(path, {}));
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(path, kBaud2400)) << device->errorText();
    EXPECT_TRUE(serialDevicePresent(path, {})) << "while the station has it open";
    // Looking did not take the pipe from the station.
    ASSERT_EQ(write(*device, "still"), 5);
    ASSERT_TRUE(eventually([&] { return pipe.received() == "still"; })) << pipe.received();
    EXPECT_GE(device->waiting(), 0);
    device->close();
    pipe.closeFarEnd();
    EXPECT_FALSE(serialDevicePresent(path, {}));
    EXPECT_FALSE(serialDevicePresent("\\\\.\\pipe\\quirn-sim-never-made", {}));
}

TEST(Win32PipeSerialDevice, WithNothingAttachedTheDeviceSideLosesWhatItSends) {
    auto pty = createPseudoTerminal();
    ASSERT_TRUE(pty->open(kBaud2400)) << pty->errorText();
    const unsigned char bytes[] = {'K'};
    EXPECT_EQ(pty->write(bytes, sizeof bytes), 1);
    unsigned char buffer[4];
    EXPECT_EQ(pty->read(buffer, sizeof buffer), 0);
    EXPECT_FALSE(pty->waitReadable(20));
    EXPECT_EQ(pty->deviceBaud(), 0);

    // What was sent before the station opened the port does not reach it.
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pty->devicePath(), kBaud2400)) << device->errorText();
    const unsigned char later[] = {'L'};
    EXPECT_TRUE(eventually([&] {
        pty->read(buffer, sizeof buffer);  // sees the connection
        return pty->write(later, sizeof later) == 1 && device->waiting() > 0;
    }));
    const std::string got = readAll(*device, 1);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.find_first_not_of('L'), std::string::npos) << got;
    pty->close();
    EXPECT_FALSE(pty->isOpen());
    EXPECT_TRUE(pty->devicePath().empty());
}

}  // namespace
}  // namespace quirn
#endif
