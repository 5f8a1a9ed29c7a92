#include "app/widget_clear_view.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/download_tab_controls.h"
#include "app/text_conversion.h"

namespace brindle::app {

void WidgetClearView::setStatusLine(const std::string& caption) {
    m_tab.progressStatusLine->setText(toQt(caption));
}

void WidgetClearView::showRetrying(bool visible) {
    m_tab.RetryLabel->setVisible(visible);
}

void WidgetClearView::showProgressFrame(bool visible) {
    m_tab.showProgressFrame(visible);
}

void WidgetClearView::showProgress(int percent) {
    m_tab.progressBar->setValue(percent);
}

void WidgetClearView::setPercentCaption(const std::string& caption) {
    m_tab.PercentCaption->setText(toQt(caption));
}

void WidgetClearView::enableDownloadAndClear(bool enabled) {
    m_tab.downloadButton->setEnabled(enabled);
    m_tab.ClearFrame->setEnabled(enabled);
    m_tab.gangDownloadButton->setEnabled(enabled);
}

}  // namespace brindle::app
