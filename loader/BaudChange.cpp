#include "loader/BaudChange.h"

#include "loader/LoaderPort.h"
#include "loader/LoaderTexts.h"
#include "platform/Format.h"
#include "platform/SerialDevice.h"
#include "protocol/PagedCommands.h"
#include "protocol/SentenceCommands.h"

namespace quirn {

namespace {
int normalRate(int baud) {
    return baud == kBaud4800 ? kBaud4800 : kBaud2400;
}
// The rate the switch listens at before a change to `target`: the other one.
int oldRate(int target) {
    return target == kBaud4800 ? kBaud2400 : kBaud4800;
}
}  // namespace

bool BaudChange::start(int target, int configuredBaud) {
    if (running()) return false;
    target_ = normalRate(target);
    configuredBaud_ = normalRate(configuredBaud);
    step_ = firstStep();
    finished_ = false;
    succeeded_ = false;
    headline_ = format(loader_text::kChangingBaud, target_);
    stepText_.clear();
    return true;
}

int BaudChange::firstStep() const {
    return target_ == kBaud4800 ? kFirstStepTo4800 : kFirstStepTo2400;
}

bool BaudChange::tick() {
    if (!running()) return false;
    int offset = step_ - firstStep();
    stepText_ = offset == kSetUp ? std::string(loader_text::kSettingUp)
                                 : format(loader_text::kStepOf, offset);
    bool ok = true;
    switch (offset) {
        case kSetUp:
            ok = port_.reopen(oldRate(target_));
            break;
        case kSendSentence:
            ok = port_.writeNow(BaudSentenceCommand(target_).bytes());
            break;
        case kFollow:
            ok = port_.reopen(target_);
            break;
        case kPage:
            ok = port_.writeNow(PageAllCommand().bytes());
            break;
        case kCheckReply:
            succeeded_ = port_.takeInput().size() == kProofLength;
            break;
        case kRestore:
            // A port that will not take the configured rate back is no success either.
            if (!port_.reopen(configuredBaud_)) succeeded_ = false;
            break;
        default:
            break;
    }
    if (!ok) {
        finish(false);
        return true;
    }
    if (offset >= kFinish) {
        step_ = kIdle;
        finished_ = true;
        stepText_.clear();
        headline_ = resultText();
        return true;
    }
    ++step_;
    return false;
}

void BaudChange::cancel() {
    if (running()) finish(false);
}

void BaudChange::finish(bool success) {
    port_.reopen(configuredBaud_);
    succeeded_ = success;
    finished_ = true;
    step_ = kIdle;
    stepText_.clear();
    headline_ = resultText();
}

void BaudChange::forgetResult() {
    if (running()) return;
    headline_.clear();
    stepText_.clear();
}

std::string BaudChange::resultText() const {
    return succeeded_ ? format(loader_text::kBaudChanged, target_)
                      : std::string(loader_text::kBaudFailure);
}

}  // namespace quirn
