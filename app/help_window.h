#pragma once
// The help window: "helpmacro.rtf" from the program's folder as formatted,
// editable rich text, and Save Changes to write the edits back as RTF.
// Closing it discards edits that were not saved.
#include <QWidget>
#include <memory>
#include <string>

#include "base/prompter.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace brindle::app {

inline constexpr const char* kHelpCaption = "Help on Brindle Downloader";

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // Loads the help file of programDir at once, or readFrom when given (an
    // installed program's copy, until the user saves one in programDir). Its
    // messages go to prompter, or, without one, to message boxes over the
    // help window itself, so that answering them leaves the help window in
    // front.
    HelpWindow(std::string programDir, base::Prompter* prompter, QWidget* parent = nullptr,
               std::string readFrom = {});
    ~HelpWindow() override;

    QTextEdit* documentEditor = nullptr;
    QPushButton* saveChangesButton = nullptr;
    // Says why the help file could not be read or written.
    QLabel* statusLine() const { return m_status; }

  private:
    void load();
    void onCommand1Clicked();

    std::string m_path;
    std::string m_readPath;
    std::unique_ptr<base::Prompter> m_ownPrompter;
    base::Prompter* m_prompter = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace brindle::app
