#pragma once
// Views that remember what they were shown, for tests.
#include <string>
#include <vector>

#include "link/views.h"

namespace brindle::sim {

class RecordingReceiveView : public link::ReceiveView {
  public:
    void addReceivedLine(const std::string& entry) override { entries.push_back(entry); }
    void clearReceivedLines() override {
        entries.clear();
        selected = -1;
        ++clears;
    }
    int receivedLineCount() const override { return static_cast<int>(entries.size()); }
    int selectedReceivedLine() const override { return selected; }
    void selectReceivedLine(int index) override { selected = index; }

    std::vector<std::string> entries;
    int selected = -1;
    int clears = 0;
};

class RecordingOperationView : public link::OperationView {
  public:
    void setStatusLine(const std::string& caption) override { statusLines.push_back(caption); }
    void showRetrying(bool visible) override {
        retrying = visible;
        if (visible) {
            ++retryingShown;
        }
    }

    std::vector<std::string> statusLines;
    bool retrying = false;
    int retryingShown = 0;
};

}  // namespace brindle::sim
