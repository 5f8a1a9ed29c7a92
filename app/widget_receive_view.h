#pragma once
// The receive window as the link sees it: receiveWindowLines of the Down Load
// tab. The box beside it (receiveWindowActive) reaches the line through the
// tab's handler, not through this view.
#include "link/views.h"

class QListWidget;

namespace brindle::app {

class WidgetReceiveView : public link::ReceiveView {
  public:
    explicit WidgetReceiveView(QListWidget* list1) : m_list1(list1) {}

    void addReceivedLine(const std::string& entry) override;
    void clearReceivedLines() override;
    int receivedLineCount() const override;
    int selectedReceivedLine() const override;
    // Selecting an entry also scrolls the list to it; -1 selects nothing.
    void selectReceivedLine(int index) override;

  private:
    QListWidget* m_list1;
};

}  // namespace brindle::app
