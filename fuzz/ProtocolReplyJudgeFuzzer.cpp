// The links' reply judge over bytes as a link collects them: the input arrives in pieces whose
// size the input chooses, into a buffer that already holds bytes past the count received, and
// after every piece the link asks what it has. The judgement never looks past the bytes
// received, is the same when asked again, never shows more bytes than received, and the link
// that got everything at once judges as the one that got it piece by piece; both hand the reply
// over with the same outcome, and a reply judged complete is taken.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "comms/CommsConstants.h"
#include "comms/ProtocolReplyJudge.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/Clock.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"

namespace {

constexpr std::time_t kReadTime = 1'773'646'200;  // 2026-03-16, a Monday morning
constexpr int kModels = 4;
constexpr std::size_t kPieceSizes = 64;

// One station's judging, built afresh for each reading so no state carries over.
struct Station {
    explicit Station(int model)
        : clock(kReadTime),
          download(db, clock, settings),
          validation(download),
          readBack(validation),
          judge(clock, readBack, download) {
        quirn::Location l(1, 1, 1);
        l.model = model;
        location = &db.addLocation(l);
    }
    quirn::ManualClock clock;
    quirn::PlanDatabase db;
    quirn::Settings settings;
    quirn::PlanDownload download;
    quirn::Validation validation;
    quirn::ReadBack readBack;
    quirn::ProtocolReplyJudge judge;
    quirn::Location* location = nullptr;
};

struct Judgement {
    bool error = false;
    quirn::FirstAnswer first = quirn::FirstAnswer::None;
    bool complete = false;
    bool operator==(const Judgement&) const = default;
    bool final() const { return error || first != quirn::FirstAnswer::None || complete; }
};

Judgement judgementOf(Station& s, const uint8_t* bytes, std::size_t count) {
    return {s.judge.isErrorReply(*s.location, bytes, count),
            s.judge.firstAnswer(*s.location, bytes, count),
            s.judge.isCompleteImage(*s.location, bytes, count)};
}

// The same bytes in a block of exactly their size, so a look past them is out of bounds.
Judgement judgementOfExact(Station& s, const uint8_t* bytes, std::size_t count) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[count ? count : 1]);
    std::copy(bytes, bytes + count, exact.get());
    return judgementOf(s, exact.get(), count);
}

void checkProgress(Station& s, std::size_t received) {
    s.judge.reportProgress(*s.location, received);
    if (s.judge.receivedSoFar(*s.location) != received) std::abort();
    std::size_t shown = 0, expected = 0;
    std::string text = s.judge.progressText(*s.location, received);
    char tail = 0;
    if (std::sscanf(text.c_str(), "%zu of %zu bytes%c", &shown, &expected, &tail) != 2)
        std::abort();
    if (shown > received || expected != quirn::ReadBack::expectedReplySize(*s.location, s.download))
        std::abort();
    bool capped = s.location->isModel(quirn::TimeSwitchModel::LR40);
    if (shown != (capped ? std::min(received, expected) : received)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the model (low two bits) and the piece size (1 to 64).
    const int model = data[0] % kModels;
    const std::size_t piece = 1 + (data[0] / kModels) % kPieceSizes;
    const std::size_t length = std::min(size - 1, quirn::kMessageBufferSize);
    // The link's buffer, holding already what has not arrived yet.
    std::vector<uint8_t> buffer(quirn::kMessageBufferSize, 0);
    std::copy(data + 1, data + 1 + length, buffer.begin());

    Station chunked(model);
    std::size_t received = 0;
    Judgement last;
    do {
        received = std::min(received + piece, length);
        checkProgress(chunked, received);
        last = judgementOf(chunked, buffer.data(), received);
        if (!(judgementOfExact(chunked, buffer.data(), received) == last)) std::abort();
        if (!(judgementOf(chunked, buffer.data(), received) == last)) std::abort();
    } while (!last.final() && received <= quirn::kAcknowledgedImageSize && received < length);

    Station whole(model);
    if (!(judgementOfExact(whole, buffer.data(), received) == last)) std::abort();

    bool takenChunked = chunked.judge.acceptReply(*chunked.location, buffer.data(), received);
    bool takenWhole = whole.judge.acceptReply(*whole.location, buffer.data(), received);
    if (takenChunked != takenWhole) std::abort();
    if (chunked.judge.receivedSoFar(*chunked.location) != 0) std::abort();
    if (chunked.location->programBytesReceived != whole.location->programBytesReceived ||
        chunked.location->readState != whole.location->readState)
        std::abort();
    // Taken means of the model's size as received, or expanded from a complete compact reply.
    const std::size_t raw = quirn::ReadBack::rawReplySize(model);
    if (takenChunked && received != raw && !last.complete && last.first == quirn::FirstAnswer::None)
        std::abort();
    if (last.complete && !takenChunked) std::abort();
    // Once handed over, the same bytes are judged as before.
    if (!(judgementOf(chunked, buffer.data(), received) == last)) std::abort();

    // A Strider that keeps a log: the rest of the input is its blocks, read until it ends.
    if (last.first != quirn::FirstAnswer::KeepsLog) return 0;
    std::size_t at = received;
    for (int asked = 0; asked < quirn::kLogBlockLimit && at < length; ++asked) {
        std::size_t count = std::min(quirn::kLogBlockSize, length - at);
        int next = chunked.judge.takeLogBlock(*chunked.location, buffer.data() + at, count);
        if (next != whole.judge.takeLogBlock(*whole.location, buffer.data() + at, count))
            std::abort();
        if (next == -1) break;
        if (next < 1 || next >= quirn::kLogBlockLimit) std::abort();
        at += count;
    }
    return 0;
}
