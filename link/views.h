#pragma once
// What the link shows the user, as small interfaces: the window implements
// them with widgets, the command-line tool with terminal output, tests with
// recorders.
#include <string>

namespace brindle::link {

// The receive window: the list List1 and the check box Check1.
class ReceiveView {
  public:
    virtual ~ReceiveView() = default;
    virtual bool Check1Checked() const = 0;
    virtual void List1Add(const std::string& entry) = 0;
    virtual void List1Clear() = 0;
    virtual int List1Count() const = 0;
    virtual int List1SelectedIndex() const = 0;  // -1 when nothing is selected
    virtual void List1Select(int index) = 0;
};

// The parts of the progress frame that the link itself drives: the status
// caption Label6 and the "Verifying....." label RetryLabel.
class OperationView {
  public:
    virtual ~OperationView() = default;
    virtual void SetLabel6(const std::string& caption) = 0;
    virtual void SetRetryLabelVisible(bool visible) = 0;
};

}  // namespace brindle::link
