#include "app/help_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/message_box_prompter.h"
#include "app/rich_text_document.h"
#include "app/text_conversion.h"
#include "app/widget_factory.h"
#include "richtext/help_file.h"

namespace brindle::app {

HelpWindow::HelpWindow(std::string programDir, base::Prompter* prompter, QWidget* parent,
                       std::string readFrom)
    : QWidget(parent, Qt::Window),
      m_path(richtext::helpFilePath(programDir)),
      m_readPath(readFrom.empty() ? m_path : std::move(readFrom)),
      m_prompter(prompter) {
    if (m_prompter == nullptr) {
        m_ownPrompter = std::make_unique<MessageBoxPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QString::fromLatin1(kHelpCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    documentEditor = named(new QTextEdit, "Text1");
    documentEditor->setAcceptRichText(true);
    saveChangesButton =
        makeButton("Command1", "&Save Changes", "Write the help text back to its file");
    m_status = named(new QLabel, "HelpStatus");
    m_status->setWordWrap(true);
    m_status->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(documentEditor, 1);
    layout->addWidget(m_status);
    layout->addWidget(saveChangesButton, 0, Qt::AlignLeft);
    connect(saveChangesButton, &QPushButton::clicked, this, [this] { onCommand1Clicked(); });
    resize(640, 560);
    keepScrollAreaBordersVisible(this);
    load();
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::load() {
    base::Result<richtext::Document> document = richtext::loadHelpDocument(m_readPath);
    fillTextDocument(document.valueOr(richtext::Document{}), *documentEditor->document());
    if (!document) {
        m_status->setText(toQt(document.message()));
        m_status->setVisible(true);
    }
}

// The file is written whole first; "changes saved" is said only once it is.
void HelpWindow::onCommand1Clicked() {
    const base::Status saved =
        richtext::saveHelpDocument(m_path, fromTextDocument(*documentEditor->document()));
    if (!saved) {
        m_status->setText(toQt(saved.message()));
        m_status->setVisible(true);
        m_prompter->show("The changes were not saved: " + saved.message(), base::Icon::Critical,
                         base::Buttons::Ok);
        return;
    }
    m_status->setVisible(false);
    m_prompter->show("changes saved", base::Icon::Information, base::Buttons::Ok);
}

}  // namespace brindle::app
