#pragma once
#include <string>

#include "platform/SerialDevice.h"
#include "tests/loader/ScriptedSerialDevice.h"

namespace quirn::test {

// The attached time switch's side of the baud change: it listens at one rate, takes the baud
// sentence heard at that rate, and answers "@P#" with a 10-byte line check, all as far as the
// loader can tell. Bytes at the wrong rate are noise to it.
struct BaudSwitch {
    int rate = kBaud2400;
    std::size_t proofLength = 10;
    bool silent = false;

    ScriptedSerialDevice::Script script() {
        return [this](const std::string& bytes, int baud) -> std::string {
            if (baud != rate || silent) return "";
            if (bytes == "$B000000A*03") rate = kBaud2400;
            if (bytes == "$B000000B*00") rate = kBaud4800;
            if (bytes == "@P#") return std::string(proofLength, 'k');
            return "";
        };
    }
};

}  // namespace quirn::test
