#include <gtest/gtest.h>

#include <string>

#include "comms/QueuedMessage.h"
#include "comms/TransmitBuffer.h"
#include "plans/Location.h"

namespace quirn {
namespace {

TEST(TransmitBuffer, HoldsBackWholeMessagesInOrderUntilThereIsRoom) {
    TransmitBuffer buffer;
    EXPECT_TRUE(buffer.append(std::string(2500, 'a')));
    EXPECT_TRUE(buffer.append(std::string(2000, 'b')));  // does not fit: waits whole
    EXPECT_TRUE(buffer.append(std::string(100, 'c')));   // would fit, but keeps its place
    EXPECT_EQ(buffer.size(), 2500u);
    EXPECT_EQ(buffer.waitingBytes(), 2100u);
    EXPECT_EQ(buffer.take(), std::string(2500, 'a'));
    EXPECT_EQ(buffer.size(), 2100u);
    EXPECT_EQ(buffer.take(), std::string(2000, 'b') + std::string(100, 'c'));
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.take(), "");
}

TEST(TransmitBuffer, RefusesWhatCanNeverBeSentAndCapsTheWaitingRoom) {
    TransmitBuffer buffer;
    EXPECT_FALSE(buffer.append(std::string()));
    EXPECT_FALSE(buffer.append(std::string(kMessageBufferSize + 1, 'x')));
    EXPECT_TRUE(buffer.append(std::string(kMessageBufferSize, 'x')));
    std::size_t accepted = 0;
    for (int i = 0; i < 100; ++i)
        if (buffer.append(std::string(kMessageBufferSize, 'y'))) ++accepted;
    EXPECT_EQ(accepted * kMessageBufferSize, TransmitBuffer::kWaitingLimit);
    buffer.clear();
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.waitingBytes(), 0u);
}

TEST(QueuedMessage, SerializesOnlyIntoRoomEnoughAndStartsSentWhenEmpty) {
    const unsigned char bytes[] = {'a', 'b', 'c'};
    QueuedMessage m(bytes, 3);
    EXPECT_EQ(m.destination(), "0.0.0.0");
    EXPECT_FALSE(m.sent());
    unsigned char out[3] = {};
    EXPECT_EQ(m.serialize(out, 2), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(m.serialize(out, 3), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "abc");
    EXPECT_TRUE(QueuedMessage(bytes, 0).sent());
    EXPECT_TRUE(QueuedMessage(nullptr, 5).sent());
    Location location(1, 2, 3);
    location.connection = "127.0.0.5";
    EXPECT_EQ(QueuedMessage(location, bytes, 3).destination(), "127.0.0.5");
    EXPECT_EQ(QueuedMessage(bytes, 3, "127.0.0.2").destination(), "127.0.0.2");
    std::string big(kMessageBufferSize + 10, 'x');
    EXPECT_EQ(
        QueuedMessage(reinterpret_cast<const unsigned char*>(big.data()), big.size()).length(),
        kMessageBufferSize);
}

}  // namespace
}  // namespace quirn
