#pragma once
// Views that remember what they were shown, for tests.
#include <string>
#include <vector>

#include "link/views.h"

namespace brindle::sim {

class RecordingReceiveView : public link::ReceiveView {
  public:
    bool Check1Checked() const override { return checked; }
    void List1Add(const std::string& entry) override { entries.push_back(entry); }
    void List1Clear() override {
        entries.clear();
        selected = -1;
        ++clears;
    }
    int List1Count() const override { return static_cast<int>(entries.size()); }
    int List1SelectedIndex() const override { return selected; }
    void List1Select(int index) override { selected = index; }

    bool checked = false;
    std::vector<std::string> entries;
    int selected = -1;
    int clears = 0;
};

class RecordingOperationView : public link::OperationView {
  public:
    void SetLabel6(const std::string& caption) override { label6.push_back(caption); }
    void SetRetryLabelVisible(bool visible) override {
        retryLabelVisible = visible;
        if (visible) {
            ++retryLabelShown;
        }
    }

    std::vector<std::string> label6;
    bool retryLabelVisible = false;
    int retryLabelShown = 0;
};

}  // namespace brindle::sim
