#include "app/widget_receive_view.h"

#include <QCheckBox>
#include <QListWidget>

#include "app/text_conversion.h"

namespace brindle::app {

bool WidgetReceiveView::Check1Checked() const {
    return m_check1->isChecked();
}

void WidgetReceiveView::List1Add(const std::string& entry) {
    m_list1->addItem(toQt(entry));
}

void WidgetReceiveView::List1Clear() {
    m_list1->clear();
}

int WidgetReceiveView::List1Count() const {
    return m_list1->count();
}

int WidgetReceiveView::List1SelectedIndex() const {
    return m_list1->currentRow();
}

void WidgetReceiveView::List1Select(int index) {
    m_list1->setCurrentRow(index);
    if (QListWidgetItem* item = m_list1->item(index)) {
        m_list1->scrollToItem(item);
    }
}

}  // namespace brindle::app
