#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/SerialDevice.h"

namespace quirn::test {

// An in-memory serial line with the attached time switch played by a script: every write is
// recorded with the line rate it went out at, and the script's answer is put into the input
// at once. The line can vanish (an unplugged adapter): opens fail, waiting() reports the
// failure and writes are refused until it comes back.
class ScriptedSerialDevice final : public SerialDevice {
  public:
    struct Written {
        std::string bytes;
        int baud;
    };
    // Answer to bytes written at a line rate ("" for none).
    using Script = std::function<std::string(const std::string& bytes, int baud)>;

    bool open(const std::string& path, int baud) override {
        opens.push_back(baud);
        openPaths.push_back(path);
        open_ = !vanished && missingPaths.count(path) == 0;
        baud_ = baud == kBaud4800 ? kBaud4800 : kBaud2400;
        error_ = open_ ? "" : "No such device";
        if (!open_) baud_ = 0;
        return open_;
    }
    void close() override {
        open_ = false;
        baud_ = 0;
    }
    bool isOpen() const override { return open_; }
    long waiting() override {
        if (!open_ || vanished) return -1;
        return static_cast<long>(input.size());
    }
    long read(unsigned char* buffer, std::size_t capacity) override {
        if (!open_ || vanished) return -1;
        std::size_t n = std::min(capacity, input.size());
        std::copy(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n), buffer);
        input.erase(0, n);
        return static_cast<long>(n);
    }
    long write(const unsigned char* bytes, std::size_t count) override {
        if (!open_ || vanished) return -1;
        std::string text(reinterpret_cast<const char*>(bytes), count);
        written.push_back({text, baud_});
        if (script) input += script(text, baud_);
        return static_cast<long>(count);
    }
    bool discardInput() override {
        if (!open_ || vanished) return false;
        input.clear();
        return true;
    }
    int currentBaud() const override { return open_ ? baud_ : 0; }
    const std::string& errorText() const override { return error_; }

    // Everything written, concatenated.
    std::string allWritten() const {
        std::string all;
        for (const auto& w : written) all += w.bytes;
        return all;
    }

    Script script;
    std::string input;
    std::vector<Written> written;
    std::vector<int> opens;
    std::vector<std::string> openPaths;
    std::set<std::string> missingPaths;
    bool vanished = false;

  private:
    bool open_ = false;
    int baud_ = 0;
    std::string error_;
};

}  // namespace quirn::test
