#pragma once
// The device chooser of the Setup tab's "Com Port" frame: for the selected
// Com, no choice (the program's rule), "comN" in the program's folder, one of
// the system's serial ports (listed afresh each time the list opens, by their
// stable /dev/serial/by-id name when there is one) or a path typed in.
#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_ports.h"

namespace brindle::app {

using PortLister = std::function<std::vector<link::SerialPortEntry>()>;

class PortChooser : public QComboBox {
    Q_OBJECT
  public:
    explicit PortChooser(PortLister lister);

    // Lists the entries for Com portNumber and shows its choice.
    void showChoice(int portNumber, const std::string& choice);
    // What the line now names: an entry's choice, or the path typed.
    std::string currentChoice() const;

    void showPopup() override;

  signals:
    // The user chose an entry or finished typing a path that differs from
    // the choice shown.
    void choiceMade(const std::string& choice);

  private:
    void fillEntries();
    void commitTyped();

    PortLister m_lister;
    int m_portNumber = 1;
    std::string m_shown;
};

}  // namespace brindle::app
