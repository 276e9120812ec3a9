#include "protocol/ReadBack.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "platform/LocalTime.h"
#include "protocol/PagedCommands.h"
#include "protocol/ReadState.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/SentenceCommands.h"

namespace quirn {

namespace {

// Activation-log block layout.
constexpr size_t kBlockNumber = 1;
constexpr size_t kLastBlock = 2;
constexpr size_t kDelaySeconds = 3;
constexpr size_t kConfirmFlag = 4;
constexpr size_t kRecordsStart = 5;
constexpr size_t kRecordLength = 6;
constexpr size_t kRecords = 20;
constexpr uint8_t kSideBit = 0x80;
constexpr uint8_t kMonthMask = 0x7F;
constexpr int kYearBase = 2000;
constexpr int kLastRecordYear = 50;  // years after 2050 are not real records
constexpr int kMonths = 12;
constexpr int kMaxDay = 31;

int signedByte(uint8_t b) {
    return static_cast<int8_t>(b);
}

bool isPagedModel(int model) {
    return !isImageModel(model);
}

int clampedCount(size_t count) {
    return static_cast<int>(std::min<size_t>(count, std::numeric_limits<int32_t>::max()));
}

bool imageValid(const ReadBackImage* image) {
    if (const auto* q = dynamic_cast<const Qn510Image*>(image)) return q->isValid();
    if (const auto* p = dynamic_cast<const ProgramImage*>(image)) return p->isValid();
    return false;
}

}  // namespace

size_t ReadBack::rawReplySize(int model) {
    return isPagedModel(model) ? kQn510ReplySize : kImageReplySize;
}

size_t ReadBack::expectedReplySize(const Location& location, PlanDownload& download) {
    switch (static_cast<TimeSwitchModel>(location.model)) {
        case TimeSwitchModel::Strider:
            return kStriderReplySize;
        case TimeSwitchModel::MX40:
            return kImageReplySize;
        case TimeSwitchModel::LR40:
            return ProgramSentenceCommand(location.masterGroup, location.group, location.number,
                                          download.imageFor(location).bytes())
                       .bytes()
                       .size() +
                   1;
        case TimeSwitchModel::QN510:
            break;
    }
    return kQn510ReplySize;
}

std::unique_ptr<ReadBackImage> ReadBack::decodeRaw(int model, const uint8_t* bytes, size_t count,
                                                   std::time_t readTime) {
    if (bytes == nullptr || count != rawReplySize(model)) return nullptr;
    if (isPagedModel(model))
        return std::make_unique<Qn510Image>(parseQN510Reply(bytes, count, readTime));
    auto image = std::make_unique<ProgramImage>(std::span<const uint8_t>(bytes, count));
    image->checkAnnualEntries();
    return image;
}

int ReadBack::onReadData(Location& location, const uint8_t* bytes, size_t count, std::time_t time) {
    if (bytes == nullptr) count = 0;
    // A compact reply is expanded to the raw memory it describes.
    std::vector<uint8_t> expanded;
    Qn510Image compact;
    if (count > 0 && count < kQn510ReplySize) {
        compact = parseQN510Reply(bytes, count, time);
        if (compact.isValid()) {
            const auto& raw = compact.tables().bytes();
            expanded.assign(raw.begin(), raw.end());
        } else if (ProgramImage sentence = parseLR40Reply(bytes, count); sentence.isValid()) {
            expanded.assign(sentence.bytes().begin(), sentence.bytes().end());
        }
        if (!expanded.empty()) {
            bytes = expanded.data();
            count = expanded.size();
        }
    }

    location.receivedData = true;
    location.lastReadTime = time;
    tell([&](ReadBackListener& l) { l.replyReceived(location, bytes, count); });

    int matched = 0;
    unsigned resultBits = 0;
    if (count == 0) {
        location.programBytesReceived = 0;
        setReadState(location, ReadState::ConnectionFailed, time);
    } else if (count == rawReplySize(location.model)) {
        matched = 1;
        std::copy_n(bytes, std::min(count, location.programBytes.size()),
                    location.programBytes.begin());
        location.programBytesReceived = clampedCount(count);
        std::unique_ptr<ReadBackImage> image = decodeRaw(location.model, bytes, count, time);
        if (auto* q = dynamic_cast<Qn510Image*>(image.get()); q && compact.isValid()) {
            q->setVersion(compact.version());
            q->setStrider(compact.strider());
            location.firmwareVersion = compact.version();
        }
        if (!imageValid(image.get())) {
            location.image.reset();
            setReadState(location, ReadState::ValidateFailed, time);
        } else {
            location.image.reset(std::move(image));
            resultBits = validation_.compare(location);
            setReadState(location,
                         resultBits == 0 ? ReadState::ValidatePassed : ReadState::ValidateFailed,
                         time);
            if (resultBits == 0) tell([&](ReadBackListener& l) { l.locationValidated(location); });
        }
    } else {
        location.programBytesReceived = clampedCount(count);
        setReadState(location, ReadState::PartialData, time);
    }
    tell([](ReadBackListener& l) { l.requestReadBackSave(); });
    tell([&](ReadBackListener& l) { l.readEnded(location, resultBits, time); });
    return matched;
}

void ReadBack::redecode(Location& location) {
    size_t count = static_cast<size_t>(std::max(0, location.programBytesReceived));
    std::unique_ptr<ReadBackImage> image = decodeRaw(
        location.model, std::as_const(location.programBytes).data(), count, location.lastReadTime);
    if (!imageValid(image.get())) {
        location.image.reset();
        return;
    }
    location.image.reset(std::move(image));
    validation_.revalidate(location);
}

int ReadBack::takeLogBlock(Location& location, std::span<const uint8_t> block) {
    if (block.size() < kLogBlockSize) return -1;
    location.setConfirmedStriderTimeCode(striderCodeFromSeconds(block[kDelaySeconds]));
    bool confirm = block[kConfirmFlag] != 0;
    location.passwayConfirm = confirm;
    tell([&](ReadBackListener& l) { l.passwayConfirm(location, confirm); });

    for (size_t i = 0; i < kRecords && passway_ != nullptr; ++i) {
        std::span<const uint8_t> r =
            block.subspan(kRecordsStart + kRecordLength * i, kRecordLength);
        if (r[0] == 0) continue;
        int year = signedByte(r[0]);
        int month = r[1] & kMonthMask;
        int day = signedByte(r[2]);
        if (month < 1 || month > kMonths || day < 1 || day > kMaxDay || year > kLastRecordYear)
            continue;
        PasswayActivation a;
        a.masterGroup = location.masterGroup;
        a.group = location.group;
        a.location = location.number;
        a.side = (r[1] & kSideBit) ? 1 : 0;
        a.time = fromLocal(kYearBase + year, month, day, signedByte(r[3]), signedByte(r[4]),
                           signedByte(r[5]));
        const auto& held = passway_->activations();
        bool known = std::any_of(held.begin(), held.end(), [&](const PasswayActivation& h) {
            return h.masterGroup == a.masterGroup && h.group == a.group &&
                   h.location == a.location && h.time == a.time;
        });
        if (!known) passway_->addActivation(a);
    }
    // A negative block number is no block of the log: nothing more is asked for.
    int number = signedByte(block[kBlockNumber]);
    int next = number + 1;
    return number >= 0 && next < kLogBlockLimit && next <= signedByte(block[kLastBlock]) ? next
                                                                                         : -1;
}

}  // namespace quirn
