#include "link/qt/qt_serial_port.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

#include "base/numeric.h"
#include "base/text.h"

namespace brindle::link::qt {

namespace {

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string field;
    while (std::getline(in, field, ',')) {
        out.push_back(base::trimBlanks(field));
    }
    return out;
}

}  // namespace

QtSerialPort::QtSerialPort() {
    QObject::connect(
        &m_port, &QSerialPort::errorOccurred, &m_port, [this](QSerialPort::SerialPortError error) {
            // Open errors are handled where the open fails; a
            // timeout is no error of the device.
            if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError ||
                !m_port.isOpen()) {
                return;
            }
            fail(error == QSerialPort::ResourceError ? "device removed"
                                                     : m_port.errorString().toStdString());
        });
}

void QtSerialPort::fail(const std::string& reason) {
    m_failure = reason;
    m_reason = reason;
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_port.clearError();
}

QtSerialPort::~QtSerialPort() {
    if (m_port.isOpen()) {
        m_port.close();
    }
}

// "38400,n,8,1": speed, parity (n e o m s), data bits (5 to 8), stop bits (1, 1.5, 2).
void QtSerialPort::Settings(const std::string& settings) {
    m_settings = settings;
    m_settingsValid = false;
    const std::vector<std::string> f = splitFields(settings);
    if (f.size() != 4) {
        return;
    }
    const auto baud = base::textToInt32(f[0]);
    if (!baud || *baud <= 0) {
        return;
    }
    const std::string parity = base::upperAscii(f[1]);
    if (parity == "N") {
        m_parity = QSerialPort::NoParity;
    } else if (parity == "E") {
        m_parity = QSerialPort::EvenParity;
    } else if (parity == "O") {
        m_parity = QSerialPort::OddParity;
    } else if (parity == "M") {
        m_parity = QSerialPort::MarkParity;
    } else if (parity == "S") {
        m_parity = QSerialPort::SpaceParity;
    } else {
        return;
    }
    if (f[2] < "5" || f[2] > "8" || f[2].size() != 1) {
        return;
    }
    m_dataBits = static_cast<QSerialPort::DataBits>(f[2][0] - '0');
    if (f[3] == "1") {
        m_stopBits = QSerialPort::OneStop;
    } else if (f[3] == "1.5") {
        m_stopBits = QSerialPort::OneAndHalfStop;
    } else if (f[3] == "2") {
        m_stopBits = QSerialPort::TwoStop;
    } else {
        return;
    }
    m_baud = *baud;
    m_settingsValid = true;
    if (m_port.isOpen()) {
        m_port.setBaudRate(m_baud);
        m_port.setParity(m_parity);
        m_port.setDataBits(m_dataBits);
        m_port.setStopBits(m_stopBits);
    }
}

void QtSerialPort::SetPortOpen(bool open) {
    if (!open) {
        if (m_port.isOpen()) {
            m_port.close();
        }
        m_reason = "closed";
        m_failure.clear();
        return;
    }
    if (m_port.isOpen()) {
        return;
    }
    if (m_device.empty()) {
        m_reason = m_failure = "no such port";
        return;
    }
    if (!m_settingsValid) {
        m_reason = m_failure = "settings \"" + m_settings + "\" not understood";
        return;
    }
    m_port.setPortName(QString::fromStdString(m_device));
    m_port.setBaudRate(m_baud);
    m_port.setParity(m_parity);
    m_port.setDataBits(m_dataBits);
    m_port.setStopBits(m_stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_reason = m_failure = m_port.errorString().toStdString();
        m_port.clearError();
        return;
    }
    m_reason.clear();
    m_failure.clear();
}

std::string QtSerialPort::Input() {
    if (!m_port.isOpen()) {
        return {};
    }
    const QByteArray data = m_inputLen <= 0 ? m_port.readAll() : m_port.read(m_inputLen);
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSerialPort::Output(const std::string& bytes) {
    if (!m_port.isOpen() || bytes.empty()) {
        return;
    }
    const qint64 written = m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) {
        fail("write failed: " + m_port.errorString().toStdString());
    }
}

int QtSerialPort::InBufferCount() {
    return m_port.isOpen() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

// Qt's own buffer, and once that is empty what the operating system still
// holds for the line (asked only then: the answer is not 0 either way).
int QtSerialPort::OutBufferCount() {
    if (!m_port.isOpen()) {
        return 0;
    }
    if (const auto buffered = static_cast<int>(m_port.bytesToWrite()); buffered > 0) {
        return buffered;
    }
    int queued = 0;
    const auto fd = static_cast<int>(m_port.handle());
    if (fd < 0 || ::ioctl(fd, TIOCOUTQ, &queued) != 0) {
        // A device that cannot say what it still holds is gone: waiting for
        // its queue to drain would never end.
        fail(std::string("output queue unreadable: ") + std::strerror(errno));
        return 0;
    }
    return queued;
}

std::string QtSerialPort::describe() const {
    std::string text = "Com" + std::to_string(m_number) + ": ";
    text += m_device.empty() ? std::string("(no device)") : m_device;
    if (m_port.isOpen()) {
        return text + " open at " + base::decimalText(m_baud);
    }
    return text + " closed (" + m_reason + ")";
}

}  // namespace brindle::link::qt
