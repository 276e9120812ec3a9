#pragma once
#include <cstddef>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "comms/CommsMessages.h"
#include "comms/ImsiList.h"
#include "comms/IpTable.h"
#include "comms/LinkSet.h"
#include "comms/QueuedMessage.h"
#include "comms/SerialPort.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/TimerService.h"

namespace quirn {

class CommandVorn;
class ConnectionErrorSink;
class PlanDatabase;
class ProfileStore;
class ReplyJudge;

// What the handler is built with: the application's long-lived services (held by reference)
// and the platform backends (empty: this platform's own).
struct CommsSetup {
    const Clock& clock;
    WorkingFolder folder;  // imsi.csv, the IP table file and the log files
    TimerService& timers;
    CommsMessages& messages;
    ReplyJudge& judge;
    ConnectionErrorSink& errors;
    PlanDatabase* database = nullptr;
    const ProfileStore* profile = nullptr;  // Commo/Baud and the COM map
    std::unique_ptr<SerialDevice> serialDevice;
    SocketFactory sockets;
    // A tool's look at a station's folder: imsi.csv is read but not created when missing,
    // the IP table file is not written, and nothing is logged.
    bool leavesFolderAlone = false;
};

// The one object through which the station reaches its time switches: it owns the serial
// radio port, the IP table and the queue of outgoing messages, and a 500 ms tick moves the
// work. Callers queue bytes or commands with a destination address, or ask for a location to
// be read; they never touch a port or socket. Everything runs on the user-interface thread,
// and no call blocks: bytes are copied when queued and leave at later ticks. Nothing is cut
// short: a message too long for a buffer is refused whole, with a line in the System log.
class CommoHandler final : public ConnectionStatus {
  public:
    static constexpr std::time_t kSyncPulseInterval = 4 * 60 * 60;
    static constexpr const char* kSyncPulse = "Quirn SYNC PULSE";
    static constexpr int kDefaultBaud = 2400;

    // Reads imsi.csv from the setup's working folder; with IMSIs the M2M client's entry is added.
    explicit CommoHandler(CommsSetup setup);
    ~CommoHandler() override;
    CommoHandler(const CommoHandler&) = delete;
    CommoHandler& operator=(const CommoHandler&) = delete;

    // Starts the service timer (kTickPeriodMs) and counts the sync pulse interval from now.
    void start();
    // The periodic step: the queue is dispatched (every broadcast message that fits one
    // buffer, the radio's own, and at most one message for an IP entry), the sync pulse is
    // broadcast after kSyncPulseInterval seconds without a transmission, then every link and
    // every retired entry is stepped once.
    void tick();

    // The radio port; COM 0 = no radio. The first form takes the baud rate from the profile
    // store (Commo/Baud, default 2400). 0 on success, 1 on failure.
    int openRadioPort(int comNumber);
    int openRadioPort(int comNumber, int baud);
    int reopenRadioPort(int baud);

    // Queues a message for every link. One longer than kMessageBufferSize is not queued.
    void enqueueBytes(const unsigned char* bytes, std::size_t count);
    void enqueueBytes(const std::string& bytes);
    // Builds the command at once (at most kMessageBufferSize bytes) and queues it for every link.
    void enqueueCommand(const CommandVorn& command);
    // Queues a message for the link with that address. An address that is no link when the
    // message's turn comes drops it, and a link that refuses it (full, or too long for the
    // radio) too; each with a line in the System log.
    void enqueueFor(const std::string& address, const std::string& bytes);
    // A location's message (location number not 0) or a group's: once to each IP address of
    // the group's locations, then always to the radio.
    void queueGroupMessage(const unsigned char* bytes, std::size_t count, int masterGroup,
                           int group, int locationNumber);

    // Reads a location through the link of `address` with its query sentence. 1 when handed
    // over, 0 when the address is not a link.
    int readLocation(Location& location, const std::string& address);
    // The same with the model's read request; an unknown address is added to the IP table
    // first. 0 only for an address that cannot be a table entry.
    int requestLocationData(Location& location, const std::string& address);
    void startRead(Location& location);
    void startQuery(Location& location);
    // Queues the location's programming to its link; returns the byte count (0: nothing, for
    // no location, no programming, or programming longer than kMessageBufferSize).
    std::size_t startDownload(Location* location);

    CommoLink* connectionForLocation(const Location* location);
    bool isLinkPresent(const std::string& address) const;
    std::size_t connectionCount() const;
    void enabledConnections(std::vector<IpConnection*>& out) const;
    IpConnection* findConnection(const std::string& address) const { return table_.find(address); }
    const IpTable& ipTable() const { return table_; }

    // Adds an entry for a dotted address (not the radio's, the broadcast address, empty, or
    // one already there) and saves the table file unless a batch is open.
    void addIpAddress(const std::string& address);
    void addLocationAddress(const Location& location);
    // Takes an entry out of the table. An entry in the middle of an exchange finishes it first
    // (it is stepped by the tick until idle) and is destroyed then; the table file is not
    // rewritten. False when the address is not in the table.
    bool removeIpAddress(const std::string& address);
    std::size_t retiredCount() const { return retired_.size(); }
    // While a batch is open, additions only mark the table file for saving; endTableBatch()
    // writes it once. Start-up adds every location's address inside one batch.
    void beginTableBatch() { ++batchDepth_; }
    void endTableBatch();
    void setIpPort(unsigned port);

    void sendClockToAll();
    void sendClockToGroup(int masterGroup, int group);
    void sendClockAt(std::time_t when);

    // Discards the radio's pending input and received bytes, then hands the bytes to the port
    // at once rather than at the next tick (the loader's exchanges). False, nothing kept, for
    // no radio (COM 0), a port that cannot be opened or was lost, or a full backlog (logged);
    // what the device does not take at once follows at the next ticks, never dropped.
    bool writeRadioNow(const unsigned char* bytes, std::size_t count);
    // Hands the bytes to the radio now, behind what it already holds, leaving a read's input
    // alone (a sender of many pages paces them itself); the same refusals as writeRadioNow.
    bool writeRadio(const std::string& bytes);
    // Moves the radio's received bytes out, then discards them and any pending input.
    std::size_t takeRadioInput(std::string& out);
    // Appends to the radio's transmit buffer and every enabled IP entry but the M2M client.
    // Links whose waiting room is full keep nothing; one System log line counts them.
    void broadcast(const unsigned char* bytes, std::size_t count);

    // "Sending %d messages." when the queue is not empty.
    bool queueStatusText(std::string& out) const;
    void clearQueue();
    std::size_t queueSize() const { return queue_.size(); }

    SerialPort& serialPort() { return serial_; }
    const SerialPort& serialPort() const { return serial_; }
    bool m2mEnabled() const { return m2mEnabled_; }
    const ImsiList& imsiList() const { return imsiList_; }
    std::time_t lastTransmission() const { return lastTransmission_; }

    // ConnectionStatus: a location reached through a disabled entry counts as
    // validate-disabled.
    bool isDisabled(const std::string& address) const override;

  private:
    void handOverRead(Location& location, CommoLink& link, const std::string& request);
    void dispatchQueue();
    void stepRetired();
    void push(std::unique_ptr<QueuedMessage> message);
    // A message longer than a buffer is refused with a log line rather than cut.
    bool fitsMessage(std::size_t count);
    void saveTable();
    IpServices ipServices() const;
    std::time_t now() const { return clock_.now(); }

    const Clock& clock_;
    WorkingFolder folder_;
    LogWriter log_;
    TimerService& timers_;
    CommsMessages& messages_;
    ReplyJudge& judge_;
    ConnectionErrorSink& errors_;
    PlanDatabase* database_;
    const ProfileStore* profile_;
    SocketFactory sockets_;

    bool m2mEnabled_ = false;
    ImsiList imsiList_;
    IpTable table_;
    // Entries taken out of the table that are still finishing an exchange.
    std::vector<std::unique_ptr<IpConnection>> retired_;
    SerialPort serial_;
    // The radio and the table's entries, as the loops of the queue, broadcast and tick see them.
    LinkSet links_{serial_, table_};
    TimerService::TimerId timer_ = TimerService::kNoTimer;
    std::time_t lastTransmission_;
    bool leavesFolderAlone_;
    std::deque<std::unique_ptr<QueuedMessage>> queue_;
    // Messages queued already sent (empty ones), which the sweep must find off the prefix.
    std::size_t queuedSent_ = 0;
    unsigned ipPort_ = kDefaultIpPort;
    int batchDepth_ = 0;
    bool tableDirty_ = false;
};

}  // namespace quirn
