#pragma once
#include <cstddef>
#include <string>

namespace quirn {

class LoaderPort;

// Follows what the loader handed to the serial port until its last byte has left, so that the
// window says "sent" only then. A port that never takes the bytes gives them up minutes later;
// that is said here too, however long after the button it happens.
class SendWatch {
  public:
    enum class State { None, Waiting, Sent, GivenUp };

    // Starts following the bytes just written. `what` names them for the waiting and give-up
    // lines ("Program for group Elm Street,5"); `sentLine` is said once they have left.
    void start(const LoaderPort& port, std::string what, std::string sentLine);
    // Looks at the port again; true when line() changed.
    bool poll(const LoaderPort& port);
    void clear();

    State state() const { return state_; }
    bool waiting() const { return state_ == State::Waiting; }
    // Bytes of the message that had not left at the last look.
    std::size_t bytesWaiting() const { return waiting_; }
    // What the window shows: the waiting count, the sent line or the give-up; empty before the
    // first message.
    const std::string& line() const { return line_; }

  private:
    bool show(std::string line);

    State state_ = State::None;
    std::string what_;
    std::string sentLine_;
    std::string line_;
    std::size_t givenUpBefore_ = 0;
    std::size_t waiting_ = 0;
};

}  // namespace quirn
