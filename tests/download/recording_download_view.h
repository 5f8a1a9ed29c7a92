#pragma once
// A DownloadView that remembers what the run showed.
#include <string>
#include <vector>

#include "download/download_view.h"

namespace brindle::testing {

class RecordingDownloadView : public download::DownloadView {
  public:
    void SetLabel6(const std::string& caption) override { label6.push_back(caption); }
    void SetRetryLabelVisible(bool visible) override {
        retryLabelVisible = visible;
        retryShown += visible ? 1 : 0;
    }
    int CustomListSelectedIndex() const override { return selected; }
    int CustomListCount() const override { return static_cast<int>(customList.size()); }
    std::string CustomListText() const override {
        return selected >= 0 ? customList[static_cast<std::size_t>(selected)] : std::string();
    }
    bool StatArgumentChecked() const override { return statArgument; }
    void SetStatArgumentChecked(bool checked) override { statArgument = checked; }
    void SetMacroBytes(const std::string& caption) override { macroBytes.push_back(caption); }
    void SetMacroBytesVisible(bool visible) override { macroBytesVisible = visible; }
    void SetProgressFrameVisible(bool visible) override {
        progressFrameVisible = visible;
        frameShown += visible ? 1 : 0;
    }
    void SetProgress(int percent) override { progress.push_back(percent); }
    void SetPercentCaption(const std::string& caption) override { captions.push_back(caption); }
    int MacrosInCombinationCount() const override { return macroEntries; }
    void MacrosInCombinationSelect(int index) override { macroSelections.push_back(index); }
    void SetMacrosInCombinationEnabled(bool enabled) override { macroListEnabled = enabled; }
    void SetCheck1Enabled(bool enabled) override { check1Enabled = enabled; }
    void SetOperationButtonsEnabled(bool enabled) override {
        buttonsEnabled = enabled;
        buttonChanges.push_back(enabled);
    }

    std::vector<std::string> customList;
    int selected = -1;
    int macroEntries = 0;
    bool statArgument = false;
    bool macroBytesVisible = false;
    bool progressFrameVisible = false;
    int frameShown = 0;
    bool retryLabelVisible = false;
    int retryShown = 0;
    bool macroListEnabled = true;
    bool check1Enabled = true;
    bool buttonsEnabled = true;
    std::vector<bool> buttonChanges;
    std::vector<std::string> label6;
    std::vector<std::string> macroBytes;
    std::vector<int> progress;
    std::vector<std::string> captions;
    std::vector<int> macroSelections;
};

}  // namespace brindle::testing
