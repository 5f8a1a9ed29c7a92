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

void WidgetExecuteView::enableSequenceList(bool enabled) {
    m_tab.MacrosInCombination->setEnabled(enabled);
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
    m_tab.gangDownloadButton->setEnabled(enabled);
}

void WidgetExecuteView::untickReceiveWindow() {
    m_tab.receiveWindowActive->setChecked(false);
}

}  // namespace brindle::app
