#pragma once
// A DownloadView that remembers what the run showed.
#include <string>
#include <vector>

#include "download/download_view.h"

namespace brindle::testing {

class RecordingDownloadView : public download::DownloadView {
  public:
    void setStatusLine(const std::string& caption) override { statusLines.push_back(caption); }
    void showRetrying(bool visible) override {
        retrying = visible;
        retryShown += visible ? 1 : 0;
    }
    void setConvertStatusArguments(bool checked) override { statArgument = checked; }
    void setMacroSize(const std::string& caption) override { macroBytes.push_back(caption); }
    void showMacroSize(bool visible) override { macroBytesVisible = visible; }
    void showOverallProgress(const download::OverallProgress& p) override { overall.push_back(p); }
    void showProgressFrame(bool visible) override {
        progressFrameVisible = visible;
        frameShown += visible ? 1 : 0;
    }
    void showProgress(int percent) override { progress.push_back(percent); }
    void setPercentCaption(const std::string& caption) override { captions.push_back(caption); }
    void selectSequenceLine(int index) override { macroSelections.push_back(index); }
    void enableSequenceList(bool enabled) override { macroListEnabled = enabled; }
    void enableReceiveWindowBox(bool enabled) override { check1Enabled = enabled; }
    void enableOperationButtons(bool enabled) override {
        buttonsEnabled = enabled;
        buttonChanges.push_back(enabled);
    }

    std::vector<std::string> customList;
    int selected = -1;
    bool statArgument = false;
    bool macroBytesVisible = false;
    bool progressFrameVisible = false;
    int frameShown = 0;
    bool retrying = false;
    int retryShown = 0;
    bool macroListEnabled = true;
    bool check1Enabled = true;
    bool buttonsEnabled = true;
    std::vector<bool> buttonChanges;
    std::vector<std::string> statusLines;
    std::vector<std::string> macroBytes;
    std::vector<int> progress;
    std::vector<std::string> captions;
    std::vector<int> macroSelections;
    std::vector<download::OverallProgress> overall;
};

}  // namespace brindle::testing
