#pragma once
// What the controller operations show the user, as small interfaces: the
// window implements them with widgets, the command-line tool with terminal
// output, tests with recorders. They are output only: what the user chose
// comes to an operation in its request or in its line's context, never read
// back from a view.
#include <string>

namespace brindle::link {

// The receive window's list: the lines received from the controller. Whether
// its box ("Receive Window Active") is ticked is the line's own state
// (ReceivedLines::ReceiveWindowTicked). The count and the selection are the
// list's own bookkeeping, not a user's choice: the line rules read them to
// keep the newest line selected and to empty a full list.
class ReceiveView {
  public:
    virtual ~ReceiveView() = default;
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
