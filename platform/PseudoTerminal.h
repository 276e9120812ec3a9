#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace quirn {

// The near end of a pseudo-terminal: a device path that another program opens as if it were a
// serial port, while this side reads and writes the bytes of the far device. Used by the
// time-switch simulator. No call waits longer than asked. On Windows, which has no
// pseudo-terminals, the device side is a local named pipe that the serial layer opens by name.
class PseudoTerminal {
  public:
    virtual ~PseudoTerminal() = default;

    // Makes a new pair and sets the device side raw 8N1 at `baud` (4800, else 2400). The
    // device side is also held open here, so that the other program may open and close it as
    // often as it likes without hanging up this side. False when the system refuses; then
    // errorText() says why.
    virtual bool open(int baud) = 0;
    // Closes both ends; the device path disappears. Harmless when closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The path the other program opens ("/dev/pts/N", "\\.\pipe\quirn-sim-<pid>-<n>"); empty
    // when closed.
    virtual const std::string& devicePath() const = 0;

    // Takes at most `capacity` bytes written by the other program, without waiting; the count
    // taken, 0 when none, -1 when closed or failed.
    virtual long read(unsigned char* buffer, std::size_t capacity) = 0;
    // Hands bytes to the other program without waiting; the count taken (possibly fewer when
    // the device's input queue is full), -1 when closed or failed.
    virtual long write(const unsigned char* bytes, std::size_t count) = 0;
    // Waits at most `timeoutMs` for bytes to read; true when some are there.
    virtual bool waitReadable(int timeoutMs) = 0;
    // The line rate the device side is set to now (by whoever set it last); 0 when unknown, as
    // always for a pipe.
    virtual int deviceBaud() const = 0;
    virtual const std::string& errorText() const = 0;
};

// The pseudo-terminal backend of this platform.
std::unique_ptr<PseudoTerminal> createPseudoTerminal();

}  // namespace quirn
