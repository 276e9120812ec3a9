#pragma once
#include <string>

#include "comms/ReplyJudge.h"

namespace quirn::ctl {

// The loader reads the radio port directly; the handler's own read path, which asks the
// judge, is never started by this tool. Answers are those of a link that received nothing.
class DirectReadJudge final : public ReplyJudge {
  public:
    void resetProgress(Location&) override {}
    void reportProgress(Location&, std::size_t) override {}
    std::string progressText(const Location&, std::size_t received) const override {
        return std::to_string(received) + " bytes";
    }
    bool isErrorReply(const Location&, const unsigned char*, std::size_t) const override {
        return false;
    }
    FirstAnswer firstAnswer(const Location&, const unsigned char*, std::size_t) const override {
        return FirstAnswer::None;
    }
    bool isCompleteImage(const Location&, const unsigned char*, std::size_t) const override {
        return false;
    }
    bool acceptReply(Location&, const unsigned char*, std::size_t) override { return false; }
    int takeLogBlock(Location&, const unsigned char*, std::size_t) override { return -1; }
    void finishLog(Location&) override {}
};

}  // namespace quirn::ctl
