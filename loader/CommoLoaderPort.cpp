#include "loader/CommoLoaderPort.h"

#include "comms/CommoHandler.h"

namespace quirn {

bool CommoLoaderPort::open(int comNumber, int baud) {
    return handler_.openRadioPort(comNumber, baud) == 0;
}

bool CommoLoaderPort::reopen(int baud) {
    return handler_.reopenRadioPort(baud) == 0;
}

bool CommoLoaderPort::writeNow(const std::string& bytes) {
    if (bytes.empty()) return false;
    return handler_.writeRadioNow(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size());
}

std::size_t CommoLoaderPort::bytesWaiting() const {
    return handler_.serialPort().outgoingBytes();
}

std::size_t CommoLoaderPort::messagesGivenUp() const {
    return handler_.serialPort().givenUpMessages();
}

std::string CommoLoaderPort::takeInput() {
    std::string bytes;
    if (handler_.serialPort().isOpen()) handler_.serialPort().readAvailable();
    handler_.takeRadioInput(bytes);
    return bytes;
}

bool CommoLoaderPort::isSetUp() const {
    const SerialPort& port = handler_.serialPort();
    return port.isUsed() && port.isOpen();
}

int CommoLoaderPort::comNumber() const {
    return handler_.serialPort().comNumber();
}

int CommoLoaderPort::currentBaud() const {
    return handler_.serialPort().currentBaud();
}

}  // namespace quirn
