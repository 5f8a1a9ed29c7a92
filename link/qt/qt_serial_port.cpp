#include "link/qt/qt_serial_port.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

#include "base/numeric.h"
#include "base/text.h"
#include "link/com_port.h"
#include "link/device_lock.h"
#include "link/port_access.h"

namespace brindle::link::qt {

namespace {

// Why the device cannot be a serial port at all, before it is opened: it is
// missing, or it is a file or folder rather than a device. Empty otherwise
// (whether a device is a terminal only the open can tell).
std::string deviceProblem(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (S_ISCHR(info.st_mode)) {
        return {};
    }
    return S_ISDIR(info.st_mode)   ? "not a terminal: a folder"
           : S_ISREG(info.st_mode) ? "not a terminal: a plain file"
                                   : "not a terminal";
}

std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string field;
    while (std::getline(in, field, ',')) {
        out.push_back(base::trimBlanks(field));
    }
    return out;
}

// The device's own name, links followed: the serial port's "LCK..<name>"
// lock is then the same for every name the device is opened by.
std::string realDevice(const std::string& device) {
    std::error_code ec;
    const auto real = std::filesystem::canonical(device, ec);
    return ec ? device : real.string();
}

// The usual lock file of a device name, as the serial port names it.
std::string usualLockFile(const std::string& realName) {
    std::string name = realName.rfind("/dev/", 0) == 0 ? realName.substr(5) : realName;
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return "/var/lock/LCK.." + name;
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
            const std::string detail = m_port.errorString().toStdString();
            recordFailure(faultReason(
                error == QSerialPort::ResourceError ? "device removed (" + detail + ")" : detail));
            // Closed once QSerialPort has left the code that reported the
            // error: it still uses its buffer there. Until then the port
            // already acts as closed.
            QMetaObject::invokeMethod(
                &m_port,
                [this] {
                    if (!m_failure.empty() && m_port.isOpen()) {
                        closeDevice();
                        m_port.clearError();
                    }
                },
                Qt::QueuedConnection);
        });
}

// A terminal whose far side has gone (a pseudo-terminal's other end closed,
// an adapter unplugged) reports a hang-up; the error that brought it to
// light (a read of nothing, an ioctl refused) says less than that.
std::string QtSerialPort::faultReason(const std::string& otherwise) const {
    pollfd device{static_cast<int>(m_port.handle()), 0, 0};
    if (device.fd >= 0 && ::poll(&device, 1, 0) == 1 &&
        (device.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return kHungUp;
    }
    return otherwise;
}

void QtSerialPort::recordFailure(const std::string& reason) {
    if (m_failure.empty()) {
        m_failure = reason;
        m_reason = reason;
    }
}

void QtSerialPort::fail(const std::string& reason) {
    recordFailure(reason);
    closeDevice();
    m_port.clearError();
}

QtSerialPort::~QtSerialPort() {
    closeDevice();
}

void QtSerialPort::closeDevice() {
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_lock.release();
}

// "38400,n,8,1": speed, parity (n e o m s), data bits (5 to 8), stop bits (1, 1.5, 2).
void QtSerialPort::Settings(const std::string& settings) {
    m_settings = settings;
    m_settingsValid = false;
    m_settingsProblem.clear();
    const std::vector<std::string> f = splitFields(settings);
    if (f.size() != 4) {
        return;
    }
    const auto baud = base::textToInt32(f[0]);
    if (!baud || *baud <= 0) {
        return;
    }
    if (!lineSpeedUsable(*baud)) {
        m_settingsProblem = "line speed " + f[0] + " is outside " +
                            std::to_string(kLowestLineSpeed) + " to " +
                            std::to_string(kHighestLineSpeed);
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

void QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        closeDevice();
        m_reason = "closed";
        m_failure.clear();
        return;
    }
    if (m_port.isOpen()) {
        if (m_failure.empty()) {
            return;
        }
        closeDevice();  // failed, its close still to come
        m_port.clearError();
    }
    if (m_device.empty()) {
        m_reason = m_failure = "no such port";
        return;
    }
    if (!m_settingsValid) {
        m_reason = m_failure = m_settingsProblem.empty()
                                   ? "settings \"" + m_settings + "\" not understood"
                                   : m_settingsProblem;
        return;
    }
    if (const std::string problem = deviceProblem(m_device); !problem.empty()) {
        m_reason = m_failure = problem;
        return;
    }
    if (const std::string denied = accessProblem(m_device); !denied.empty()) {
        m_reason = m_failure = denied;
        return;
    }
    // The device's identity lock first: a second program is refused before
    // it opens the device, so it cannot disturb the line at all.
    base::Result<DeviceLock> lock = DeviceLock::acquire(m_device);
    if (!lock) {
        m_reason = m_failure = lock.message();
        return;
    }
    const std::string real = realDevice(m_device);
    m_port.setPortName(QString::fromStdString(real));
    m_port.setBaudRate(m_baud);
    m_port.setParity(m_parity);
    m_port.setDataBits(m_dataBits);
    m_port.setStopBits(m_stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        // This user may use the device (checked above): a refusal now is a
        // lock of another program, the usual "LCK.." file or the kernel's
        // exclusive use.
        m_reason = m_failure = m_port.error() == QSerialPort::PermissionError
                                   ? inUseMessage(m_device, lockFilePid(usualLockFile(real)))
                                   : m_port.errorString().toStdString();
        m_port.clearError();
        return;
    }
    if (const base::Status mine = lockDescriptor(static_cast<int>(m_port.handle()), m_device);
        !mine) {
        m_port.close();
        m_reason = m_failure = mine.message();
        return;
    }
    m_lock = std::move(*lock);
    m_reason.clear();
    m_failure.clear();
}

std::string QtSerialPort::Input() {
    if (!usable()) {
        return {};
    }
    const QByteArray data = m_inputLen <= 0 ? m_port.readAll() : m_port.read(m_inputLen);
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSerialPort::Output(const std::string& bytes) {
    if (!usable() || bytes.empty()) {
        return;
    }
    const qint64 written = m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) {
        fail(faultReason("write failed: " + m_port.errorString().toStdString()));
    }
}

int QtSerialPort::InBufferCount() {
    return usable() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

// Qt's own buffer, and once that is empty what the operating system still
// holds for the line (asked only then: the answer is not 0 either way).
int QtSerialPort::OutBufferCount() {
    if (!usable()) {
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
        fail(faultReason(std::string("output queue unreadable: ") + std::strerror(errno)));
        return 0;
    }
    return queued;
}

std::string QtSerialPort::describe() const {
    std::string text = "Com" + std::to_string(m_number) + ": ";
    text += m_device.empty() ? std::string("(no device)") : m_device;
    if (PortOpen()) {
        return text + " open at " + base::decimalText(m_baud);
    }
    return text + " closed (" + m_reason + ")";
}

}  // namespace brindle::link::qt
