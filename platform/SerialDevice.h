#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace quirn {

// A serial line as the radio port needs it: raw bytes, 8 data bits, no parity, one stop bit,
// no software flow control, and reads that only take what the driver already holds. The POSIX
// backend sits on termios; a Win32 backend fills the same contract with the comm API.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Opens an existing device for exclusive reading and writing and applies raw 8N1 at `baud`
    // (4800 gives 4800, any other value 2400) with XON/XOFF off in both directions. Any open
    // device is closed first. False when the device is missing, busy or refuses the settings;
    // the device is then closed and errorText() says why.
    virtual bool open(const std::string& path, int baud) = 0;
    // Closes the device; harmless when closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Bytes the driver holds for reading; clears a pending line error. -1 when the device is
    // gone (hang-up, unplugged adapter) or closed.
    virtual long waiting() = 0;
    // Reads at most `capacity` bytes without waiting; returns the count read (0 when nothing is
    // there) or -1 when the device failed.
    virtual long read(unsigned char* buffer, std::size_t capacity) = 0;
    // Hands bytes to the driver without waiting for them to go out; returns the count taken,
    // which is `count` unless the device failed (-1) or its output queue is full.
    virtual long write(const unsigned char* bytes, std::size_t count) = 0;
    // Drops everything the driver holds for reading; false when the device failed.
    virtual bool discardInput() = 0;
    // The input and output rate the driver reports for the open device; 0 when closed.
    virtual int currentBaud() const = 0;
    // The system's text for the last failure of open(); empty after a success.
    virtual const std::string& errorText() const = 0;
};

// Line rates the radio port uses.
inline constexpr int kBaud2400 = 2400;
inline constexpr int kBaud4800 = 4800;

// The serial device backend of this platform.
std::unique_ptr<SerialDevice> createSerialDevice();

}  // namespace quirn
