#pragma once
#ifdef _WIN32
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/SerialDevice.h"

namespace quirn {

// SerialDevice on a Win32 COM port opened for plain (not overlapped) I/O. A plain WriteFile
// waits until its bytes are on the line, which at 2400 baud is long enough to freeze a window,
// and every call on such a handle waits for the one before it. So one I/O thread owns the
// handle: it moves bytes between the port and two queues, and the caller's calls only touch
// the queues. Nothing is dropped: a write takes what fits in the output queue and says so.
// A local named pipe ("\\.\pipe\...", served by the simulated time switch) opens as a device
// too: the same thread serves it, with what a pipe lacks (line settings, line errors) left out,
// and its far end closing is the device's failure, as an unplugged adapter is.
class Win32SerialDevice final : public SerialDevice {
  public:
    Win32SerialDevice() = default;
    ~Win32SerialDevice() override;
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool open(const std::string& path, int baud) override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    long waiting() override;
    long read(unsigned char* buffer, std::size_t capacity) override;
    long write(const unsigned char* bytes, std::size_t count) override;
    bool discardInput() override;
    int currentBaud() const override { return isOpen() ? baud_ : 0; }
    const std::string& errorText() const override { return errorText_; }

    // Bytes the output queue holds at most; a write beyond it takes fewer bytes.
    static constexpr std::size_t kOutputCapacity = 64 * 1024;

  private:
    bool fail(const char* what);
    bool openComPort(const std::string& path, int baud);
    bool openPipe(const std::string& path, int baud);
    void serve();
    // The count of bytes ready to be read; false when the device is gone.
    bool bytesWaiting(unsigned long& count);
    bool dropInput();
    bool moveOutput();
    bool moveInput();

    void* handle_ = nullptr;  // the port's HANDLE; null when closed
    int baud_ = 0;
    bool pipe_ = false;  // the device is a named pipe, not a COM port
    std::string errorText_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<unsigned char> input_;
    std::deque<unsigned char> output_;
    bool discardRequested_ = false;
    bool stopping_ = false;
    std::atomic<bool> failed_{false};
    std::thread worker_;
};

}  // namespace quirn
#endif
