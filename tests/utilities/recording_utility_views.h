#pragma once
// Views that remember what the read-back, block execution and the clear
// utility showed.
#include <string>
#include <vector>

#include "utilities/clear_view.h"
#include "utilities/execute_block.h"
#include "utilities/execute_view.h"
#include "utilities/read_back_view.h"

namespace brindle::testing {

class RecordingReadBackView : public utilities::ReadBackView {
  public:
    void showReadingMessage(bool visible) override {
        readingMessage = visible;
        readingShown += visible ? 1 : 0;
    }
    void setE2promText(const std::string& t) override { text = t; }
    void setHeaderField(utilities::HeaderField field, const std::string& t) override {
        fields[static_cast<std::size_t>(field)] = t;
    }
    void showHeaderFields(bool visible) override { headerVisible = visible; }

    const std::string& macroId() const { return fields[0]; }
    const std::string& bootMacro() const { return fields[1]; }
    const std::string& macroCount() const { return fields[2]; }

    bool readingMessage = false;
    int readingShown = 0;
    std::string text;
    std::string fields[3];
    bool headerVisible = false;
};

class RecordingExecuteView : public utilities::ExecuteView {
  public:
    // What the lists hold and show chosen, as the request of a run says it.
    utilities::ExecuteRequest request() const {
        utilities::ExecuteRequest r;
        if (chosen >= 0) {
            r.combination = combinations[static_cast<std::size_t>(chosen)];
        }
        r.combinationCount = static_cast<int>(combinations.size());
        if (selectedLine >= 0) {
            r.line = lines[static_cast<std::size_t>(selectedLine)];
        }
        r.lineCount = static_cast<int>(lines.size());
        return r;
    }
    void enableSequenceList(bool enabled) override { listEnabled = enabled; }
    void setConvertStatusArguments(bool checked) override { statArgument = checked; }
    void showMacroSize(bool visible) override { macroSizeVisible = visible; }
    void showCancelFrame(bool visible) override {
        cancelFrame = visible;
        cancelFrameShown += visible ? 1 : 0;
    }
    void enableOperationButtons(bool enabled) override { buttonChanges.push_back(enabled); }
    void untickReceiveWindow() override { ++unticks; }

    std::vector<std::string> combinations;
    int chosen = -1;
    std::vector<std::string> lines;
    int selectedLine = -1;
    bool listEnabled = true;
    bool statArgument = false;
    bool macroSizeVisible = false;
    bool cancelFrame = false;
    int cancelFrameShown = 0;
    std::vector<bool> buttonChanges;
    int unticks = 0;
};

class RecordingClearView : public utilities::ClearView {
  public:
    void setStatusLine(const std::string& caption) override { statusLines.push_back(caption); }
    void showRetrying(bool visible) override {
        retrying = visible;
        retryShown += visible ? 1 : 0;
    }
    void showProgressFrame(bool visible) override {
        progressFrame = visible;
        frameShown += visible ? 1 : 0;
    }
    void showProgress(int percent) override { progress.push_back(percent); }
    void setPercentCaption(const std::string& caption) override { captions.push_back(caption); }
    void enableDownloadAndClear(bool enabled) override { buttonChanges.push_back(enabled); }

    std::vector<std::string> statusLines;
    bool retrying = false;
    int retryShown = 0;
    bool progressFrame = false;
    int frameShown = 0;
    std::vector<int> progress;
    std::vector<std::string> captions;
    std::vector<bool> buttonChanges;
};

}  // namespace brindle::testing
