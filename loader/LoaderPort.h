#pragma once
#include <cstddef>
#include <string>

namespace quirn {

// The station's serial port as the loader uses it: writes go out at once, replies are taken
// whole when the loader decides, and the line rate changes under the loader's control. The
// communications handler fills it in the program (CommoLoaderPort); tests use a scripted one.
class LoaderPort {
  public:
    virtual ~LoaderPort() = default;
    // Opens COM `comNumber` (0 = no port) at `baud`. False when a configured port cannot be
    // opened or set up.
    virtual bool open(int comNumber, int baud) = 0;
    // Reopens the current COM port at `baud`; false when it cannot be opened or set up.
    virtual bool reopen(int baud) = 0;
    // Drops pending input, then writes the bytes at once; false when no byte could be sent.
    virtual bool writeNow(const std::string& bytes) = 0;
    // Bytes written that the driver has not taken yet: they leave on later ticks.
    virtual std::size_t bytesWaiting() const = 0;
    // Messages dropped before their last byte left (the driver took nothing more for minutes, or
    // the port was switched off). It only grows, so a sender compares it with its value at the
    // write.
    virtual std::size_t messagesGivenUp() const = 0;
    // Everything received since the last write or take, then forgets it.
    virtual std::string takeInput() = 0;
    // A COM port is configured and open.
    virtual bool isSetUp() const = 0;
    virtual int comNumber() const = 0;
    // The rate the driver reports for the open port; 0 when closed.
    virtual int currentBaud() const = 0;
};

}  // namespace quirn
