#include "app/widget_execute_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "app/text_conversion.h"

namespace brindle::app {

int WidgetExecuteView::chosenCombinationIndex() const {
    return m_tab.combinationChoice->currentIndex();
}

int WidgetExecuteView::combinationCount() const {
    return m_tab.combinationChoice->count();
}

std::string WidgetExecuteView::chosenCombinationName() const {
    return fromQt(m_tab.combinationChoice->currentText());
}

int WidgetExecuteView::sequenceLineCount() const {
    return m_tab.MacrosInCombination->count();
}

int WidgetExecuteView::selectedSequenceLine() const {
    const QListWidgetItem* item = m_tab.MacrosInCombination->currentItem();
    return item != nullptr && item->isSelected() ? m_tab.MacrosInCombination->row(item) : -1;
}

std::string WidgetExecuteView::sequenceLineText(int index) const {
    const QListWidgetItem* item = m_tab.MacrosInCombination->item(index);
    return item != nullptr ? fromQt(item->text()) : std::string();
}

void WidgetExecuteView::enableSequenceList(bool enabled) {
    m_tab.MacrosInCombination->setEnabled(enabled);
}

bool WidgetExecuteView::convertStatusArguments() const {
    return m_statusArguments.ticked && m_statusArguments.ticked();
}

void WidgetExecuteView::setConvertStatusArguments(bool checked) {
    if (m_statusArguments.setTicked) {
        m_statusArguments.setTicked(checked);
    }
}

void WidgetExecuteView::showMacroSize(bool visible) {
    m_tab.MacroBytes->setVisible(visible);
}

void WidgetExecuteView::showCancelFrame(bool visible) {
    // The frame offers Cancel; a block command has no percentage to show.
    m_tab.progressBar->setVisible(!visible);
    m_tab.PercentCaption->setVisible(!visible);
    m_tab.showProgressFrame(visible);
}

void WidgetExecuteView::enableOperationButtons(bool enabled) {
    m_tab.downloadButton->setEnabled(enabled);
    m_tab.ClearFrame->setEnabled(enabled);
    m_tab.ExecuteBlock->setEnabled(enabled);
    m_tab.CancelExec->setEnabled(enabled);
}

void WidgetExecuteView::untickReceiveWindow() {
    m_tab.receiveWindowActive->setChecked(false);
}

}  // namespace brindle::app
