#pragma once
// What the controller operations show the user, as small interfaces: the
// window implements them with widgets, the command-line tool with terminal
// output, tests with recorders.
#include <string>

namespace brindle::link {

// The receive window: the lines received from the controller and the box
// that switches it on ("Receive Window Active").
class ReceiveView {
  public:
    virtual ~ReceiveView() = default;
    virtual bool receiveWindowTicked() const = 0;
    virtual void addReceivedLine(const std::string& entry) = 0;
    virtual void clearReceivedLines() = 0;
    virtual int receivedLineCount() const = 0;
    virtual int selectedReceivedLine() const = 0;  // -1 when nothing is selected
    // Selecting a line also scrolls to it; -1 selects nothing.
    virtual void selectReceivedLine(int index) = 0;
};

// What the link itself shows during an exchange: the status line of the
// progress frame and the "Verifying....." note while a byte is rewritten.
class OperationView {
  public:
    virtual ~OperationView() = default;
    virtual void setStatusLine(const std::string& caption) = 0;
    virtual void showRetrying(bool visible) = 0;
};

// The progress frame of a long operation (a download or a clear): shown while
// it runs, with a percentage as a bar and as a caption, and its Cancel button.
class ProgressView : public OperationView {
  public:
    virtual void showProgressFrame(bool visible) = 0;
    virtual void showProgress(int percent) = 0;
    virtual void setPercentCaption(const std::string& caption) = 0;
};

}  // namespace brindle::link
