#pragma once
// What a download shows and reads in the window: the progress frame, the
// combination chosen in CustomList, MacrosInCombination, StatArgument and the
// buttons the run disables. The window implements it with widgets, the
// command-line tool with terminal output, tests with a recorder.
#include <string>

#include "link/views.h"

namespace brindle::download {

class DownloadView : public link::OperationView {
  public:
    // CustomList: index of the chosen entry (-1 when none), entry count, its text.
    virtual int CustomListSelectedIndex() const = 0;
    virtual int CustomListCount() const = 0;
    virtual std::string CustomListText() const = 0;

    virtual bool StatArgumentChecked() const = 0;
    virtual void SetStatArgumentChecked(bool checked) = 0;

    virtual void SetMacroBytes(const std::string& caption) = 0;
    virtual void SetMacroBytesVisible(bool visible) = 0;
    virtual void SetProgressFrameVisible(bool visible) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void SetPercentCaption(const std::string& caption) = 0;

    virtual int MacrosInCombinationCount() const = 0;
    virtual void MacrosInCombinationSelect(int index) = 0;
    virtual void SetMacrosInCombinationEnabled(bool enabled) = 0;

    virtual void SetCheck1Enabled(bool enabled) = 0;
    // QuickCmd, ClearFrame, ExecuteBlock and CancelExec together.
    virtual void SetOperationButtonsEnabled(bool enabled) = 0;
};

}  // namespace brindle::download
