#pragma once
// The receive window as the link sees it: receiveWindowLines and receiveWindowActive of the Down
// Load tab.
#include "link/views.h"

class QCheckBox;
class QListWidget;

namespace brindle::app {

class WidgetReceiveView : public link::ReceiveView {
  public:
    WidgetReceiveView(QListWidget* list1, QCheckBox* check1) : m_list1(list1), m_check1(check1) {}

    bool receiveWindowTicked() const override;
    void addReceivedLine(const std::string& entry) override;
    void clearReceivedLines() override;
    int receivedLineCount() const override;
    int selectedReceivedLine() const override;
    // Selecting an entry also scrolls the list to it; -1 selects nothing.
    void selectReceivedLine(int index) override;

  private:
    QListWidget* m_list1;
    QCheckBox* m_check1;
};

}  // namespace brindle::app
