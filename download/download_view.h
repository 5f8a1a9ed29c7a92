#pragma once
// What a download shows in the window: its sequence list, the progress frame
// with the current macro's size, the whole download's progress, the "convert
// status arguments" box of the read-back, and the buttons a run disables. It
// is output only: the combination chosen comes with the run's request. The
// window implements it with widgets, the command-line tool with terminal
// output, tests with a recorder.
#include <string>

#include "download/overall_progress.h"
#include "link/views.h"

namespace brindle::download {

class DownloadView : public link::ProgressView {
  public:
    // Every run ticks "Convert Status Arguments to HEX" on the read-back
    // (a box already ticked stays as it is).
    virtual void setConvertStatusArguments(bool checked) = 0;

    // The size caption of the macro being written.
    virtual void setMacroSize(const std::string& caption) = 0;
    virtual void showMacroSize(bool visible) = 0;

    // How far the whole download has come: at its start, when a macro
    // begins, after every byte confirmed, and once more when it has ended.
    virtual void showOverallProgress(const OverallProgress& progress) = 0;

    // The lines of the chosen combination's sequence. Selecting a line the
    // list does not have leaves the list as it is.
    virtual void selectSequenceLine(int index) = 0;
    virtual void enableSequenceList(bool enabled) = 0;

    virtual void enableReceiveWindowBox(bool enabled) = 0;
    // Download, the clear utility, Execute Block and Cancel Exec together.
    virtual void enableOperationButtons(bool enabled) = 0;
};

}  // namespace brindle::download
