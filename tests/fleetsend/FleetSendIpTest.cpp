#include <gtest/gtest.h>

#include <map>

#include "platform/TcpClientSocket.h"
#include "tests/fleetsend/SendFixture.h"

namespace quirn::test {
namespace {

// What each address's peer does, and what it took.
struct PeerScript {
    bool refuses = false;  // the connect fails
    long takes = -2;       // bytes the system takes per send (-2: all, 0: none, -1: fails)
    std::string received;
    int connects = 0;
};

// A socket standing in for the system's, scripted per address: the send's judgement of what
// went out rests on what the socket says it took.
class ScriptedSocket final : public TcpClientSocket {
  public:
    explicit ScriptedSocket(std::map<std::string, PeerScript>& peers) : peers_(peers) {}
    bool connect(const std::string& address, unsigned) override {
        peer_ = &peers_[address];
        ++peer_->connects;
        return true;
    }
    Status poll() override {
        if (peer_ == nullptr) return Status::Idle;
        return peer_->refuses ? Status::Failed : Status::Connected;
    }
    long send(const unsigned char* bytes, std::size_t count) override {
        if (peer_ == nullptr || peer_->takes == -1) return -1;
        const std::size_t n =
            peer_->takes == -2 ? count : std::min(count, static_cast<std::size_t>(peer_->takes));
        peer_->received.append(reinterpret_cast<const char*>(bytes), n);
        return static_cast<long>(n);
    }
    long receive(unsigned char*, std::size_t) override { return 0; }
    void close() override {}

  private:
    std::map<std::string, PeerScript>& peers_;
    PeerScript* peer_ = nullptr;
};

constexpr const char* kTakesAll = "127.0.0.5";
constexpr const char* kRefuses = "127.0.0.6";
constexpr const char* kTakesNone = "127.0.0.7";
constexpr const char* kTakesAllToo = "127.0.0.8";

class FleetSendIp : public SendFixture {
  protected:
    std::map<std::string, PeerScript> peers;

    void SetUp() override {
        sockets = [this] { return std::make_unique<ScriptedSocket>(peers); };
        addGroup(1, 1);
        addLocation(1, 1, 1, kMx40, kTakesAll);
        addLocation(1, 1, 2, kLr40, kRefuses);
        addLocation(1, 1, 3, kQn510, kTakesNone);
        addLocation(1, 1, 4, kStrider, kTakesAllToo);
        addLocation(1, 1, 5, kMx40, kTakesAllToo);  // a second switch behind one address
        peers[kRefuses].refuses = true;
        peers[kTakesNone].takes = 0;
        build();
        db.visitLocations([&](Location& l) { commo->addLocationAddress(l); });
    }
    std::string downloadOf(int location) {
        return protocol.download(*db.findLocation(1, 1, location));
    }
    const SendItem& item(int location) {
        for (const SendItem& i : send->items())
            if (i.key.location == location) return i;
        ADD_FAILURE() << "no item for location " << location;
        return send->items().front();
    }
};

TEST_F(FleetSendIp, ALocationCountsAsSentOnlyWhenItsLinkTookEveryByte) {
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    EXPECT_EQ(send->estimate().wifiLocations, 5u);
    EXPECT_EQ(send->estimate().radioBytes, 0u);
    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(item(1).status, SendItem::Status::Sent) << systemLog();
    // IP links carry what the handler's messages build (this fixture's stand-in protocol).
    EXPECT_EQ(peers[kTakesAll].received, downloadOf(1));
    EXPECT_EQ(item(2).status, SendItem::Status::GivenUp);
    EXPECT_EQ(item(2).reason, std::string("no connection to ") + kRefuses);
    EXPECT_EQ(item(3).status, SendItem::Status::GivenUp);
    EXPECT_EQ(item(3).reason,
              std::string("the connection to ") + kTakesNone + " did not take all of it");
    // Two switches behind one address go one after the other, each in a connection of its own.
    EXPECT_EQ(item(4).status, SendItem::Status::Sent);
    EXPECT_EQ(item(5).status, SendItem::Status::Sent);
    EXPECT_EQ(peers[kTakesAllToo].connects, 2);
    EXPECT_EQ(peers[kTakesAllToo].received, downloadOf(4) + downloadOf(5));

    ASSERT_TRUE(send->lastSummary());
    EXPECT_EQ(send->lastSummary()->sent, 3u);
    EXPECT_EQ(send->lastSummary()->givenUp, 2u);
    EXPECT_FALSE(ledger.isChanged({1, 1, 1}));
    EXPECT_TRUE(ledger.isChanged({1, 1, 2}));
    EXPECT_TRUE(ledger.isChanged({1, 1, 3}));
    const std::string log = systemLog();
    EXPECT_NE(log.find("Programming for Site 1-1-3 (1, 1, 3) by WiFi given up: the connection to "
                       "127.0.0.7 did not take all of it."),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Programming sent to group 1 of master group 1: 3 locations ("),
              std::string::npos)
        << log;
}

TEST_F(FleetSendIp, ALocationWithoutAConnectionIsGivenUpAtOnce) {
    commo->removeIpAddress(kTakesAll);
    ASSERT_TRUE(send->prepareNow(SendSelection::ofLocations({{1, 1, 1}})));
    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd(2000));
    EXPECT_EQ(item(1).status, SendItem::Status::GivenUp);
    EXPECT_EQ(item(1).reason, std::string("no IP connection for ") + kTakesAll);
    EXPECT_EQ(peers[kTakesAll].connects, 0);
}

}  // namespace
}  // namespace quirn::test
