#include "app/widget_receive_view.h"

#include <QListWidget>

#include "app/text_conversion.h"

namespace brindle::app {

void WidgetReceiveView::addReceivedLine(const std::string& entry) {
    m_list1->addItem(toQt(entry));
}

void WidgetReceiveView::clearReceivedLines() {
    m_list1->clear();
}

int WidgetReceiveView::receivedLineCount() const {
    return m_list1->count();
}

int WidgetReceiveView::selectedReceivedLine() const {
    return m_list1->currentRow();
}

void WidgetReceiveView::selectReceivedLine(int index) {
    m_list1->setCurrentRow(index);
    if (QListWidgetItem* item = m_list1->item(index)) {
        m_list1->scrollToItem(item);
    }
}

}  // namespace brindle::app
