#pragma once
// The help window: "helpmacro.rtf" from the program's folder as formatted,
// editable rich text, and Save Changes to write the edits back as RTF.
// Closing it discards edits that were not saved.
#include <QWidget>
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
    // installed program's copy, until the user saves one in programDir).
    HelpWindow(std::string programDir, base::Prompter& prompter, QWidget* parent = nullptr,
               std::string readFrom = {});

    QTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    // Says why the help file could not be read or written.
    QLabel* statusLine() const { return m_status; }

  private:
    void load();
    void onCommand1Clicked();

    std::string m_path;
    std::string m_readPath;
    base::Prompter& m_prompter;
    QLabel* m_status = nullptr;
};

}  // namespace brindle::app
