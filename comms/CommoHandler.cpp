#include "comms/CommoHandler.h"

#include <algorithm>
#include <unordered_set>

#include "comms/ConnectionErrorSink.h"
#include "comms/IpTableFile.h"
#include "comms/ReplyJudge.h"
#include "ops/LogWriter.h"
#include "plans/PlanDatabase.h"
#include "platform/ProfileStore.h"
#include "protocol/CommandVorn.h"
#include "protocol/ReadState.h"

namespace quirn {

namespace {
constexpr const char* kCommoSection = "Commo";
constexpr const char* kBaudEntry = "Baud";

const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}
}  // namespace

CommoHandler::CommoHandler(CommsSetup setup)
    : clock_(setup.clock),
      folder_(setup.folder),
      log_(setup.folder,
           setup.leavesFolderAlone ? LogWriter::Records::Dropped : LogWriter::Records::Written),
      timers_(setup.timers),
      messages_(setup.messages),
      judge_(setup.judge),
      errors_(setup.errors),
      database_(setup.database),
      profile_(setup.profile),
      sockets_(std::move(setup.sockets)),
      serial_(LinkServices{setup.clock, log_, setup.messages, setup.judge, setup.database},
              std::move(setup.serialDevice), ComPortMap(setup.profile)),
      lastTransmission_(setup.clock.now()),
      leavesFolderAlone_(setup.leavesFolderAlone) {
    imsiList_.load(folder_.file(ImsiList::kFileName), !setup.leavesFolderAlone);
    if (!imsiList_.empty()) {
        m2mEnabled_ = true;
        addIpAddress(kM2MAddress);
    }
}

CommoHandler::~CommoHandler() {
    timers_.stop(timer_);
    clearQueue();
}

void CommoHandler::start() {
    timers_.stop(timer_);
    timer_ = timers_.start(kTickPeriodMs, [this] { tick(); });
    lastTransmission_ = now();
}

void CommoHandler::tick() {
    dispatchQueue();
    if (now() - lastTransmission_ > kSyncPulseInterval) {
        std::string pulse = kSyncPulse;
        broadcast(bytesOf(pulse), pulse.size());
        lastTransmission_ = now();
    }
    for (CommoLink& link : links_) link.step();
    stepRetired();
}

void CommoHandler::stepRetired() {
    std::erase_if(retired_, [](const auto& entry) {
        if (entry->state() == IpConnection::State::Idle) return true;
        entry->step();
        return false;
    });
}

IpServices CommoHandler::ipServices() const {
    return IpServices{LinkServices{clock_, log_, messages_, judge_, database_}, errors_, sockets_};
}

// --- Queue -------------------------------------------------------------------------------

void CommoHandler::push(std::unique_ptr<QueuedMessage> message) {
    if (message->sent()) ++queuedSent_;
    queue_.push_back(std::move(message));
}

bool CommoHandler::fitsMessage(std::size_t count) {
    if (count <= kMessageBufferSize) return true;
    log_.logSystem(clock_, "Message of " + std::to_string(count) + " bytes too long, not queued.");
    return false;
}

void CommoHandler::enqueueBytes(const unsigned char* bytes, std::size_t count) {
    if (!fitsMessage(count)) return;
    push(std::make_unique<QueuedMessage>(bytes, count));
}

void CommoHandler::enqueueBytes(const std::string& bytes) {
    enqueueBytes(bytesOf(bytes), bytes.size());
}

void CommoHandler::enqueueCommand(const CommandVorn& command) {
    char buffer[kMessageBufferSize];
    std::size_t n = command.build(buffer, sizeof buffer);
    enqueueBytes(reinterpret_cast<const unsigned char*>(buffer), n);
}

void CommoHandler::enqueueFor(const std::string& address, const std::string& bytes) {
    if (!fitsMessage(bytes.size())) return;
    push(std::make_unique<QueuedMessage>(bytesOf(bytes), bytes.size(), address));
}

void CommoHandler::dispatchQueue() {
    unsigned char batch[kMessageBufferSize];
    std::size_t batchLength = 0;
    std::size_t visited = 0;
    for (auto& message : queue_) {
        if (message->sent()) {
            ++visited;
            continue;
        }
        const std::string& destination = message->destination();
        if (destination == kBroadcastAddress) {
            // A message that does not fit holds back everything behind it until the next tick.
            if (batchLength + message->length() > kMessageBufferSize) break;
            message->markSent();
            batchLength += message->serialize(batch + batchLength, sizeof batch - batchLength);
            ++visited;
            continue;
        }
        message->markSent();
        ++visited;
        CommoLink* link = links_.find(destination);
        if (!link) {
            log_.logSystem(clock_, "No IP connection for " + destination + ", message dropped.");
        } else {
            switch (link->queueDirect(*message)) {
                case CommoLink::DirectResult::Taken:
                    break;
                case CommoLink::DirectResult::TooLong:
                    // Only the radio takes less than a whole message at once.
                    log_.logSystem(clock_, "Radio message of " + std::to_string(message->length()) +
                                               " bytes too long, not sent.");
                    break;
                case CommoLink::DirectResult::Full:
                    log_.logSystem(clock_,
                                   "IP connection " + destination + " full, message dropped.");
                    break;
            }
            if (!link->directEndsPass()) continue;
        }
        lastTransmission_ = now();
        break;  // at most one such message per tick
    }
    if (batchLength > 0) broadcast(batch, batchLength);

    // Every message the pass visited is sent and they form the head of the queue; only
    // messages queued already sent (empty ones) can lie further back.
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(visited));
    if (queuedSent_ > 0) {
        std::erase_if(queue_, [](const auto& m) { return m->sent(); });
        queuedSent_ = 0;
    }
}

void CommoHandler::broadcast(const unsigned char* bytes, std::size_t count) {
    std::size_t refused = 0;
    for (CommoLink& link : links_)
        if (link.takesBroadcasts() && !link.queueBroadcast(bytes, count)) ++refused;
    // Links whose waiting room is full (a port or peer long gone) are named in the log.
    if (refused > 0)
        log_.logSystem(clock_, "Broadcast of " + std::to_string(count) + " bytes refused by " +
                                   std::to_string(refused) + " links with full buffers.");
    lastTransmission_ = now();
}

bool CommoHandler::queueStatusText(std::string& out) const {
    if (queue_.empty()) return false;
    out = "Sending " + std::to_string(queue_.size()) + " messages.";
    return true;
}

void CommoHandler::clearQueue() {
    queue_.clear();
    queuedSent_ = 0;
}

void CommoHandler::queueGroupMessage(const unsigned char* bytes, std::size_t count, int masterGroup,
                                     int group, int locationNumber) {
    if (!fitsMessage(count)) return;
    if (database_ && locationNumber != 0) {
        if (Location* location = database_->findLocation(masterGroup, group, locationNumber))
            push(std::make_unique<QueuedMessage>(*location, bytes, count));
    } else if (database_) {
        if (Group* found = database_->findGroup(masterGroup, group)) {
            std::unordered_set<std::string> served;
            for (const auto& location : found->locations()) {
                const std::string& address = location->connection;
                if (table_.contains(address) && served.insert(address).second)
                    push(std::make_unique<QueuedMessage>(bytes, count, address));
            }
        }
    }
    // A group message always goes out by radio as well.
    push(std::make_unique<QueuedMessage>(bytes, count, kRadioAddress));
}

// --- Reads and downloads -------------------------------------------------------------------

int CommoHandler::readLocation(Location& location, const std::string& address) {
    std::string request = messages_.querySentence(location);
    if (request.size() > kMessageBufferSize) request.clear();
    CommoLink* link = links_.find(address);
    if (!link) return 0;
    handOverRead(location, *link, request);
    return 1;
}

// Marks the location as being read and gives the request to its link.
void CommoHandler::handOverRead(Location& location, CommoLink& link, const std::string& request) {
    // The handler's reads show as "reading again".
    setReadState(location, ReadState::ReadingAgain, now());
    link.queueRead(location, bytesOf(request), request.size());
}

int CommoHandler::requestLocationData(Location& location, const std::string& address) {
    std::string request = messages_.readRequest(location);
    if (request.size() > kMessageBufferSize) request.clear();
    CommoLink* link = links_.find(address);
    if (!link) {
        addIpAddress(address);
        link = links_.find(address);
        if (!link) return 0;
        log_.logSystem(clock_, "Added IP address from Commo Handler.");
    }
    handOverRead(location, *link, request);
    return 1;
}

void CommoHandler::startRead(Location& location) {
    judge_.resetProgress(location);
    requestLocationData(location, location.connection);
}

void CommoHandler::startQuery(Location& location) {
    judge_.resetProgress(location);
    readLocation(location, location.connection);
}

std::size_t CommoHandler::startDownload(Location* location) {
    if (!location) return 0;
    std::string programming = messages_.download(*location);
    if (programming.empty() || programming.size() > kMessageBufferSize) return 0;
    push(std::make_unique<QueuedMessage>(*location, bytesOf(programming), programming.size()));
    setReadState(*location, ReadState::Writing, now());
    return programming.size();
}

// --- Links ---------------------------------------------------------------------------------

int CommoHandler::openRadioPort(int comNumber) {
    int baud = profile_ ? profile_->getInt(kCommoSection, kBaudEntry, kDefaultBaud) : kDefaultBaud;
    return openRadioPort(comNumber, baud);
}

int CommoHandler::openRadioPort(int comNumber, int baud) {
    return serial_.open(comNumber, baud);
}

int CommoHandler::reopenRadioPort(int baud) {
    return serial_.open(serial_.comNumber(), baud);
}

CommoLink* CommoHandler::connectionForLocation(const Location* location) {
    if (!location) return nullptr;
    return links_.find(location->connection);
}

bool CommoHandler::isLinkPresent(const std::string& address) const {
    const CommoLink* link = links_.find(address);
    return link && link->inUse();
}

std::size_t CommoHandler::connectionCount() const {
    return static_cast<std::size_t>(
        std::count_if(links_.begin(), links_.end(), [](const CommoLink& l) { return l.inUse(); }));
}

void CommoHandler::enabledConnections(std::vector<IpConnection*>& out) const {
    out.clear();
    for (const auto& entry : table_.entries())
        if (entry->enabled()) out.push_back(entry.get());
}

bool CommoHandler::isDisabled(const std::string& address) const {
    const CommoLink* link = links_.find(address);
    return link && link->isDisabled();
}

bool CommoHandler::writeRadioNow(const unsigned char* bytes, std::size_t count) {
    return serial_.writeNow(bytes, count);
}

bool CommoHandler::writeRadio(const std::string& bytes) {
    if (!serial_.write(bytesOf(bytes), bytes.size())) return false;
    lastTransmission_ = now();
    return true;
}

std::size_t CommoHandler::takeRadioInput(std::string& out) {
    std::size_t count = serial_.receivedCount();
    out.assign(reinterpret_cast<const char*>(serial_.received()), count);
    serial_.flushInput();
    serial_.clearReceived();
    return count;
}

// --- IP table ------------------------------------------------------------------------------

void CommoHandler::addIpAddress(const std::string& address) {
    if (address.empty() || address == kRadioAddress || address == kBroadcastAddress) return;
    IpConnection* entry = table_.add(ipServices(), address);
    if (!entry) return;
    // Entries added after the port was configured use that port too.
    if (ipPort_ != kDefaultIpPort) entry->setPort(ipPort_);
    saveTable();
}

void CommoHandler::addLocationAddress(const Location& location) {
    addIpAddress(location.connection);
}

bool CommoHandler::removeIpAddress(const std::string& address) {
    std::unique_ptr<IpConnection> entry = table_.take(address);
    if (!entry) return false;
    if (entry->state() != IpConnection::State::Idle) retired_.push_back(std::move(entry));
    return true;
}

void CommoHandler::endTableBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0 && tableDirty_) saveTable();
}

void CommoHandler::saveTable() {
    if (batchDepth_ > 0) {
        tableDirty_ = true;
        return;
    }
    tableDirty_ = false;
    if (leavesFolderAlone_) return;
    std::vector<IpTableRecord> records;
    records.reserve(table_.size());
    for (const auto& entry : table_.entries())
        records.push_back({entry->address(), entry->enabled(), entry->name()});
    if (!IpTableFile::write(folder_.file(IpTableFile::kFileName), records))
        log_.logSystem(clock_, "The IP table file could not be written.");
}

void CommoHandler::setIpPort(unsigned port) {
    ipPort_ = port;
    for (const auto& entry : table_.entries()) entry->setPort(port);
}

// --- Clock ---------------------------------------------------------------------------------

void CommoHandler::sendClockToAll() {
    std::string time = messages_.timeMessage(0, 0);
    std::string bcdTime = messages_.bcdTimeMessage(0, 0);
    for (CommoLink& link : links_) link.queueClock(time, bcdTime);
}

void CommoHandler::sendClockToGroup(int masterGroup, int group) {
    enqueueBytes(messages_.timeMessage(masterGroup, group));
    enqueueBytes(messages_.bcdTimeMessage(masterGroup, group));
}

void CommoHandler::sendClockAt(std::time_t when) {
    enqueueBytes(messages_.timeMessageAt(when));
    enqueueBytes(messages_.bcdTimeMessageAt(when));
}

}  // namespace quirn
