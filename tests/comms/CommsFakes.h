#pragma once
#include <string>
#include <vector>

#include "comms/CommsMessages.h"
#include "comms/ConnectionErrorSink.h"
#include "comms/ReplyJudge.h"
#include "plans/Location.h"

namespace quirn::test {

// Stand-in for the protocol's message builders and read-back decoders with simple, visible
// rules, so that the links' state machines can be driven byte by byte:
//  - an error reply starts with "ERR";
//  - a Strider's first answer is "PWL#" (keeps a log) or "PWN#" (no log);
//  - a complete image is at least 968 bytes starting with "MX40";
//  - a log block is 125 bytes: byte 1 its number, byte 2 the last block's number.
class FakeProtocol final : public CommsMessages, public ReplyJudge {
  public:
    struct Reply {
        std::string location;
        std::string bytes;
    };

    std::string querySentence(const Location& l) const override { return "$Q" + tag(l) + "*"; }
    std::string readRequest(const Location& l) const override { return "X@R" + tag(l) + "o"; }
    std::string timeMessage(int mg, int g) const override {
        return "@T" + std::to_string(mg) + "/" + std::to_string(g) + "#";
    }
    std::string bcdTimeMessage(int mg, int g) const override {
        return "$T" + std::to_string(mg) + "/" + std::to_string(g);
    }
    std::string timeMessageAt(std::time_t when) const override {
        return "@T@" + std::to_string(when) + "#";
    }
    std::string bcdTimeMessageAt(std::time_t when) const override {
        return "$T@" + std::to_string(when);
    }
    std::string clockMessage(ClockMessage kind) const override {
        switch (kind) {
            case ClockMessage::BcdTime:
                return "$Tclock";
            case ClockMessage::TimeDate:
                return "@Zclock#";
            default:
                return "@Tclock#";
        }
    }
    std::string download(const Location& l) const override {
        return std::string(downloadSize, 'P') + tag(l);
    }
    std::string passwayLogRequest(const Location& l, int block) const override {
        return "@B" + tag(l) + std::to_string(block) + "#";
    }
    std::string passwayLogClear(const Location& l) const override { return "@C" + tag(l) + "#"; }

    void resetProgress(Location& l) override { l.programBytesReceived = -1; }
    void reportProgress(Location& l, std::size_t received) override {
        l.programBytesReceived = static_cast<int>(received);
    }
    std::string progressText(const Location&, std::size_t received) const override {
        return std::to_string(received) + " of 968 bytes";
    }
    bool isErrorReply(const Location&, const unsigned char* b, std::size_t n) const override {
        return starts(b, n, "ERR");
    }
    FirstAnswer firstAnswer(const Location&, const unsigned char* b, std::size_t n) const override {
        if (n == 4 && starts(b, n, "PWL#")) return FirstAnswer::KeepsLog;
        if (n == 4 && starts(b, n, "PWN#")) return FirstAnswer::NoLog;
        return FirstAnswer::None;
    }
    bool isCompleteImage(const Location&, const unsigned char* b, std::size_t n) const override {
        return n >= 968 && starts(b, n, "MX40");
    }
    bool acceptReply(Location& l, const unsigned char* b, std::size_t n) override {
        replies.push_back({l.name, std::string(reinterpret_cast<const char*>(b), n)});
        return n == 968;
    }
    int takeLogBlock(Location&, const unsigned char* b, std::size_t n) override {
        blocks.push_back(std::string(reinterpret_cast<const char*>(b), n));
        if (n < 3) return -1;
        int number = static_cast<signed char>(b[1]);
        int last = static_cast<signed char>(b[2]);
        return number + 1 < 10 && number + 1 <= last ? number + 1 : -1;
    }
    void finishLog(Location&) override { ++logsFinished; }

    static std::string tag(const Location& l) {
        char text[8];
        std::snprintf(text, sizeof text, "%02d%02d", l.group % 100, l.number % 100);
        return text;
    }
    static std::string logBlock(int number, int last) {
        std::string block(125, '\0');
        block[1] = static_cast<char>(number);
        block[2] = static_cast<char>(last);
        return block;
    }
    static std::string image(std::size_t size) {
        std::string bytes = "MX40";
        bytes.resize(size, 'i');
        return bytes;
    }

    std::size_t downloadSize = 100;
    std::vector<Reply> replies;
    std::vector<std::string> blocks;
    int logsFinished = 0;

  private:
    static bool starts(const unsigned char* b, std::size_t n, const std::string& head) {
        return b && n >= head.size() &&
               std::string(reinterpret_cast<const char*>(b), head.size()) == head;
    }
};

// Collects connection error records as the error list would.
class RecordingErrorSink final : public ConnectionErrorSink {
  public:
    void addIpConnectError(const std::string& address, const std::string& text) override {
        added.push_back(address + "|" + text);
    }
    void clearIpConnectErrors(const std::string& address) override { cleared.push_back(address); }
    std::vector<std::string> added;
    std::vector<std::string> cleared;
};

}  // namespace quirn::test
