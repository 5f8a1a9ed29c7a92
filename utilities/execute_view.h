#pragma once
// What Execute Block and Cancel Exec show on the Down Load tab: the sequence
// list (disabled during a run), the frame that offers Cancel while the
// controller is addressed, and the buttons a run disables. It is output only:
// what was chosen comes with the run's ExecuteRequest. The status line and
// "Verifying....." go through the link's OperationView.
#include <string>

namespace brindle::utilities {

class ExecuteView {
  public:
    virtual ~ExecuteView() = default;

    // MacrosInCombination.
    virtual void enableSequenceList(bool enabled) = 0;

    // "Convert Status Arguments to HEX" on the Read back tab; every run ticks
    // it (a box already ticked stays as it is).
    virtual void setConvertStatusArguments(bool checked) = 0;

    virtual void showMacroSize(bool visible) = 0;
    // The progress frame with its Cancel button, without the percentage.
    virtual void showCancelFrame(bool visible) = 0;
    // Download, the clear utility, Execute Block and Cancel Exec together.
    virtual void enableOperationButtons(bool enabled) = 0;
    // Clears the tick of "Receive Window Active" (the window's box; its
    // change reaches the line as every change of the box does).
    virtual void untickReceiveWindow() = 0;
};

}  // namespace brindle::utilities
