#pragma once
// The Port on QSerialPort: real serial devices and pseudo-terminals alike.
// Errors never escape: a failed open leaves the port closed, and a device
// that fails while open (unplugged, hung up, a read or write error, an output
// queue that cannot be read) is closed; failure() and describe() say why.
// From the moment of the failure the port acts as closed: nothing more is
// read or written, so no wait on it can go on.
// Opening takes the device for this program alone (link/device_lock.h),
// whatever name it is given by: a second opener is refused before it sends
// anything.
#include <QSerialPort>
#include <cstdint>
#include <string>

#include "link/device_lock.h"
#include "link/port.h"

namespace brindle::link::qt {

// The reason of a device whose far side has gone.
inline constexpr const char* kHungUp = "device removed or hung up";

class QtSerialPort : public Port {
  public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    void CommPort(int16_t portNumber) override { m_number = portNumber; }
    void devicePath(const std::string& path) override { m_device = path; }
    void Settings(const std::string& settings) override;
    bool PortOpen() const override { return m_port.isOpen() && m_failure.empty(); }
    void setPortOpen(bool open) override;
    void InputLen(int16_t count) override { m_inputLen = count; }
    std::string Input() override;
    void Output(const std::string& bytes) override;
    int InBufferCount() override;
    int OutBufferCount() override;
    std::string failure() const override { return m_failure; }
    void fail(const std::string& reason) override;
    std::string describe() const override;

  private:
    // The reason for a fault: a hang-up when the device shows one, else the
    // reason given.
    std::string faultReason(const std::string& otherwise) const;
    // Closes the device and lets its identity lock go.
    void closeDevice();
    // Keeps the first reason of a failure.
    void recordFailure(const std::string& reason);
    // The device as the operations may use it: open and not failed.
    bool usable() const { return PortOpen(); }

    QSerialPort m_port;
    int16_t m_number = 0;
    std::string m_device;
    std::string m_settings;
    bool m_settingsValid = false;
    std::string m_settingsProblem;
    int32_t m_baud = 0;
    QSerialPort::Parity m_parity = QSerialPort::NoParity;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    int16_t m_inputLen = 0;
    std::string m_reason = "not opened yet";
    std::string m_failure;
    DeviceLock m_lock;
};

}  // namespace brindle::link::qt
