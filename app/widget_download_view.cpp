#include "app/widget_download_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "app/text_conversion.h"

namespace brindle::app {

void WidgetDownloadView::setStatusLine(const std::string& caption) {
    m_tab.progressStatusLine->setText(toQt(caption));
}

void WidgetDownloadView::showRetrying(bool visible) {
    m_tab.RetryLabel->setVisible(visible);
}

void WidgetDownloadView::setConvertStatusArguments(bool checked) {
    if (m_statusArguments.setTicked) {
        m_statusArguments.setTicked(checked);
    }
}

void WidgetDownloadView::setMacroSize(const std::string& caption) {
    m_tab.MacroBytes->setText(toQt(caption));
}

void WidgetDownloadView::showMacroSize(bool visible) {
    m_tab.MacroBytes->setVisible(visible);
}

void WidgetDownloadView::showOverallProgress(const download::OverallProgress& progress) {
    m_host.showOverallProgress(download::overallProgressText(progress));
}

void WidgetDownloadView::showProgressFrame(bool visible) {
    m_tab.showProgressFrame(visible);
}

void WidgetDownloadView::showProgress(int percent) {
    m_tab.progressBar->setValue(percent);
}

void WidgetDownloadView::setPercentCaption(const std::string& caption) {
    m_tab.PercentCaption->setText(toQt(caption));
}

void WidgetDownloadView::selectSequenceLine(int index) {
    // setCurrentRow would clear the selection for a row the list lacks.
    if (index < m_tab.MacrosInCombination->count()) {
        m_tab.MacrosInCombination->setCurrentRow(index);
    }
}

void WidgetDownloadView::enableSequenceList(bool enabled) {
    m_tab.MacrosInCombination->setEnabled(enabled);
}

void WidgetDownloadView::enableReceiveWindowBox(bool enabled) {
    m_tab.receiveWindowActive->setEnabled(enabled);
}

void WidgetDownloadView::enableOperationButtons(bool enabled) {
    m_tab.downloadButton->setEnabled(enabled);
    m_tab.ClearFrame->setEnabled(enabled);
    m_tab.ExecuteBlock->setEnabled(enabled);
    m_tab.CancelExec->setEnabled(enabled);
    m_tab.gangDownloadButton->setEnabled(enabled);
    // A run started as it was: the box would change nothing until the next one.
    m_tab.writeChangedOnlyBox->setEnabled(enabled);
}

}  // namespace brindle::app
