#pragma once
// The serial-port operations the controller link uses: configuring and
// opening the port, writing bytes, reading what arrived and counting what is
// still to send. Errors are never thrown: a failed open leaves the port
// closed, and failure() keeps the reason until the next successful open, so
// that an operation can stop at once and the window can show why.
#include <cstdint>
#include <string>

namespace brindle::link {

class Port {
  public:
    virtual ~Port() = default;

    virtual void CommPort(int16_t portNumber) = 0;
    // The device that port number stands for on this machine (see
    // resolveComPort); set together with CommPort.
    virtual void devicePath(const std::string& path) = 0;
    virtual void Settings(const std::string& settings) = 0;  // e.g. "38400,n,8,1"
    virtual bool PortOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;
    // 0: the next Input() returns everything waiting; 1: one byte.
    virtual void InputLen(int16_t count) = 0;
    virtual std::string Input() = 0;
    virtual void Output(const std::string& bytes) = 0;
    virtual int InBufferCount() = 0;
    // Bytes not yet on the line, the operating system's queue included; 0
    // once everything has gone (an adapter may count only its own buffer
    // while that holds anything).
    virtual int OutBufferCount() = 0;

    // Why the port cannot be used: the last open failed, or the device failed
    // while open (unplugged, a write or read error, output that never
    // leaves); empty while it works or after it was closed on purpose.
    virtual std::string failure() const = 0;
    // The link found the device unusable: close it and keep the reason as
    // its failure, as when the port finds a fault itself.
    virtual void fail(const std::string& reason) = 0;
    // Human-readable state: "Com1: /dev/ttyUSB0 open at 38400", or why it is closed.
    virtual std::string describe() const = 0;
};

// An operation's failure message, with the port's state on a second line
// when the port failed, so that the message says why as the status bar does.
inline std::string withPortFailure(const std::string& message, const Port& port) {
    return port.failure().empty() ? message : message + "\n" + port.describe();
}

}  // namespace brindle::link
