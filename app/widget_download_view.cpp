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

void WidgetDownloadView::SetLabel6(const std::string& caption) {
    m_tab.Label6->setText(toQt(caption));
}

void WidgetDownloadView::SetRetryLabelVisible(bool visible) {
    m_tab.RetryLabel->setVisible(visible);
}

int WidgetDownloadView::CustomListSelectedIndex() const {
    return m_tab.CustomList->currentIndex();
}

int WidgetDownloadView::CustomListCount() const {
    return m_tab.CustomList->count();
}

std::string WidgetDownloadView::CustomListText() const {
    return fromQt(m_tab.CustomList->currentText());
}

bool WidgetDownloadView::StatArgumentChecked() const {
    return m_readBack.StatArgument->isChecked();
}

void WidgetDownloadView::SetStatArgumentChecked(bool checked) {
    m_readBack.StatArgument->setChecked(checked);
}

void WidgetDownloadView::SetMacroBytes(const std::string& caption) {
    m_tab.MacroBytes->setText(toQt(caption));
}

void WidgetDownloadView::SetMacroBytesVisible(bool visible) {
    m_tab.MacroBytes->setVisible(visible);
}

void WidgetDownloadView::SetProgressFrameVisible(bool visible) {
    m_tab.ProgressFrame->setVisible(visible);
}

void WidgetDownloadView::SetProgress(int percent) {
    m_tab.ProgressBar1->setValue(percent);
}

void WidgetDownloadView::SetPercentCaption(const std::string& caption) {
    m_tab.PercentCaption->setText(toQt(caption));
}

int WidgetDownloadView::MacrosInCombinationCount() const {
    return m_tab.MacrosInCombination->count();
}

void WidgetDownloadView::MacrosInCombinationSelect(int index) {
    m_tab.MacrosInCombination->setCurrentRow(index);
}

void WidgetDownloadView::SetMacrosInCombinationEnabled(bool enabled) {
    m_tab.MacrosInCombination->setEnabled(enabled);
}

void WidgetDownloadView::SetCheck1Enabled(bool enabled) {
    m_tab.Check1->setEnabled(enabled);
}

void WidgetDownloadView::SetOperationButtonsEnabled(bool enabled) {
    m_tab.QuickCmd->setEnabled(enabled);
    m_tab.ClearFrame->setEnabled(enabled);
    m_tab.ExecuteBlock->setEnabled(enabled);
    m_tab.CancelExec->setEnabled(enabled);
}

}  // namespace brindle::app
