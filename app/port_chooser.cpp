#include "app/port_chooser.h"

#include <QAbstractItemView>
#include <QLineEdit>

#include "link/com_port.h"

namespace brindle::app {

namespace {

constexpr int kChoiceRole = Qt::UserRole;

const QString kTip = QStringLiteral(
    "The device of the selected Com: a serial port of this machine (a USB adapter by its "
    "/dev/serial/by-id name, which stays when it is re-plugged), comN in the program's "
    "folder, or a path typed here. Kept for each Com.");

QString portCaption(const link::SerialPortEntry& port) {
    QString caption = QString::fromStdString(port.stableName());
    QStringList about;
    for (const std::string* part : {&port.description, &port.manufacturer, &port.serialNumber}) {
        if (!part->empty()) {
            about << QString::fromStdString(*part);
        }
    }
    if (!port.byId.empty()) {
        about.prepend(QString::fromStdString(port.device));
    }
    return about.isEmpty() ? caption : caption + QStringLiteral("  (") + about.join(", ") + ")";
}

}  // namespace

PortChooser::PortChooser(PortLister lister) : m_lister(std::move(lister)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    // Long device names widen the list that opens, never the frame.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    setToolTip(kTip);
    connect(this, &QComboBox::activated, this, [this](int entry) {
        const std::string choice = itemData(entry, kChoiceRole).toString().toStdString();
        if (choice != m_shown) {
            showChoice(m_portNumber, choice);
            Q_EMIT choiceMade(choice);
        }
    });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { commitTyped(); });
}

void PortChooser::fillEntries() {
    const QString typed = currentText();
    const QSignalBlocker quiet(this);
    clear();
    const QString n = QString::number(m_portNumber);
    addItem(QStringLiteral("com%1 here, else /dev/ttyS%2").arg(n).arg(m_portNumber - 1), QString());
    setItemData(0, QStringLiteral("No choice: the program's rule"), Qt::ToolTipRole);
    addItem(QStringLiteral("com%1 in the program's folder").arg(n),
            QString::fromLatin1(link::kProgramFolderChoice));
    for (const link::SerialPortEntry& port :
         m_lister ? m_lister() : std::vector<link::SerialPortEntry>{}) {
        addItem(portCaption(port), QString::fromStdString(port.stableName()));
        setItemData(count() - 1, portCaption(port), Qt::ToolTipRole);
    }
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 24);
    setCurrentIndex(-1);
    setEditText(typed);
    lineEdit()->end(false);
}

void PortChooser::showChoice(int portNumber, const std::string& choice) {
    m_portNumber = portNumber;
    m_shown = choice;
    fillEntries();
    const QSignalBlocker quiet(this);
    const int entry = findData(QString::fromStdString(choice), kChoiceRole);
    if (entry >= 0) {
        setCurrentIndex(entry);
    } else {
        setCurrentIndex(-1);
        setEditText(QString::fromStdString(choice));
    }
    // A long name shows its end, where by-id names differ (the serial
    // number); the tool tip has all of it.
    lineEdit()->end(false);
    setToolTip(kTip + QStringLiteral("\nNow: ") +
               (entry >= 0 ? itemText(entry) : QString::fromStdString(choice)));
}

std::string PortChooser::currentChoice() const {
    const QString text = currentText().trimmed();
    const int entry = findText(text);
    if (entry >= 0) {
        return itemData(entry, kChoiceRole).toString().toStdString();
    }
    return text.toStdString();
}

void PortChooser::showPopup() {
    fillEntries();
    const int entry = findData(QString::fromStdString(m_shown), kChoiceRole);
    if (entry >= 0) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(entry);
    }
    QComboBox::showPopup();
}

void PortChooser::commitTyped() {
    const std::string choice = currentChoice();
    if (choice != m_shown) {
        showChoice(m_portNumber, choice);
        Q_EMIT choiceMade(choice);
    }
}

}  // namespace brindle::app
