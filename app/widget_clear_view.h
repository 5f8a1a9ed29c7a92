#pragma once
// What the clear utility shows, in the Down Load tab's progress frame.
#include "utilities/clear_view.h"

namespace brindle::app {

class DownloadTabControls;

class WidgetClearView : public utilities::ClearView {
  public:
    explicit WidgetClearView(DownloadTabControls& tab) : m_tab(tab) {}

    void setStatusLine(const std::string& caption) override;
    void showRetrying(bool visible) override;
    void showProgressFrame(bool visible) override;
    void showProgress(int percent) override;
    void setPercentCaption(const std::string& caption) override;
    void enableDownloadAndClear(bool enabled) override;

  private:
    DownloadTabControls& m_tab;
};

}  // namespace brindle::app
