#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <span>

#include "plans/Location.h"
#include "plans/PasswayStore.h"
#include "protocol/PlanDownload.h"
#include "protocol/Validation.h"

namespace quirn {

// What a handled reply means for the rest of the station: the Location log, the error list
// and the read-back save. The application wires these to the log writer, the error list and
// the scheduler.
class ReadBackListener {
  public:
    virtual ~ReadBackListener() = default;
    // The reply of a location (after a compact reply was expanded), for the Location log.
    virtual void replyReceived(const Location& location, const uint8_t* bytes, size_t count) = 0;
    // The location validated: its entries in the error list are marked cleared.
    virtual void locationValidated(const Location& location) = 0;
    // A Strider's activation log reported its confirmation flag: set adds an ErrorPWConfirm
    // record for the location, clear removes it.
    virtual void passwayConfirm(const Location& location, bool set) = 0;
    // The location's read-back data changed and is to be written with the next snapshot.
    virtual void requestReadBackSave() = 0;
    // A read of the location ended at `time` in its read state (connection failed, partial
    // data, validated or not); `resultBits` are validation's bits when it was compared, else 0.
    virtual void readEnded(const Location& location, unsigned resultBits, std::time_t time) {
        (void)location, (void)resultBits, (void)time;
    }
};

// Raw reply sizes.
inline constexpr size_t kQn510ReplySize = 776;
inline constexpr size_t kImageReplySize = kProgramImageSize;
inline constexpr size_t kStriderReplySize = 100;  // shown while reading; the raw size is 776
// One block of a Strider's activation log.
inline constexpr size_t kLogBlockSize = kActivationLogBlockBytes;
inline constexpr int kLogBlockLimit = 10;  // block numbers read are below this

// Handles what time switches answer: read-back replies and activation-log blocks.
class ReadBack {
  public:
    // `listener` and `passway` may be null (nothing is told, activations are not kept).
    explicit ReadBack(Validation& validation, ReadBackListener* listener = nullptr,
                      PasswayStore* passway = nullptr)
        : validation_(validation), listener_(listener), passway_(passway) {}

    // Hands a reply to the location: decodes it, keeps its bytes, compares and sets the read
    // state. Returns 1 when the count matched the model's raw size, 0 otherwise. Nothing is
    // read past `count` bytes.
    int onReadData(Location& location, const uint8_t* bytes, size_t count, std::time_t time);

    // Decodes the location's kept program bytes again (after the snapshot was loaded) and, in
    // "validate passed" or "validate failed", compares again.
    void redecode(Location& location);

    // One block of a Strider's activation log: confirmed delay code and confirmation flag into
    // the location, new activations into the Passway store. Returns the next block to ask for,
    // or -1 when every block was read (or the block is short).
    int takeLogBlock(Location& location, std::span<const uint8_t> block);

    // The raw reply size of a model (776 QN510 and Strider, 968 MX40 and LR40).
    static size_t rawReplySize(int model);
    // The size shown while reading: 776, 968, 100 for a Strider, for an LR40 its 'S' sentence
    // plus one.
    static size_t expectedReplySize(const Location& location, PlanDownload& download);

    // The read-back image of a model from raw bytes; null for a count that is not the model's
    // raw size.
    static std::unique_ptr<ReadBackImage> decodeRaw(int model, const uint8_t* bytes, size_t count,
                                                    std::time_t readTime);

  private:
    void tell(auto&& fn) {
        if (listener_) fn(*listener_);
    }

    Validation& validation_;
    ReadBackListener* listener_;
    PasswayStore* passway_;
};

}  // namespace quirn
