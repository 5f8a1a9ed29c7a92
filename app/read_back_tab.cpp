#include "app/read_back_tab.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/fixed_width_font.h"
#include "app/module_image.h"
#include "app/text_conversion.h"
#include "app/widget_factory.h"
#include "app/widget_read_back_view.h"
#include "contents/backup_file.h"
#include "utilities/read_back.h"
#include "utilities/save_to_file.h"

namespace brindle::app {

ReadBackTab::ReadBackTab(OperationHost& host)
    : m_host(host), m_view(std::make_unique<WidgetReadBackView>(*this)) {
    askFileName = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save to File"));
    };
    askImageFileName = [this] {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Save Image"), QString(),
            QStringLiteral("Intel HEX (*.hex);;Raw image (*.bin);;All files (*)"));
    };
    buildWidgets();
    connectHandlers();
}

ReadBackTab::~ReadBackTab() = default;

void ReadBackTab::setConvertStatusArguments(bool ticked) {
    convertStatusArgumentsBox->setChecked(ticked);
}

void ReadBackTab::leaveTab() {
    m_view->showHeaderFields(false);
}

std::string ReadBackTab::e2promText() const {
    return m_view->e2promText();
}

bool ReadBackTab::pressCancel() {
    if (readCancelButton->isHidden()) {
        return false;
    }
    readCancelButton->click();
    return true;
}

void ReadBackTab::buildWidgets() {
    readE2promButton =
        makeButton("Command1", "&Read E2prom", "Read contents of E2prom in Macro Module");
    clearAllButton =
        makeButton("Command2", "&Clear All", "Empty the E2prom data and the three values shown");
    saveToFileButton = makeButton("SaveCmd", "&Save to File", "Saves Data read to a file");
    saveImageButton = makeButton("SaveImageCmd", "Save &Image...",
                                 "Save the Macro Module's contents as a backup: Intel HEX for a "
                                 ".hex name, otherwise a raw 32 KiB image");
    convertStatusArgumentsBox =
        named(new QCheckBox(QStringLiteral("Con&vert Status Arguments to HEX")), "StatArgument");
    convertStatusArgumentsBox->setToolTip(
        QStringLiteral("Every download and block command ticks this box; the read-back shows "
                       "the stored text either way"));
    e2promTextBox = named(new QTextEdit, "Text1");
    // The text is what the module holds: shown, not edited, in columns.
    e2promTextBox->setReadOnly(true);
    e2promTextBox->setAcceptRichText(false);
    e2promTextBox->setLineWrapMode(QTextEdit::NoWrap);
    useFixedWidthFont(e2promTextBox);
    macroIdBox = named(new QLineEdit, "Text2");
    bootMacroBox = named(new QLineEdit, "Text3");
    macroCountBox = named(new QLineEdit, "Text4");
    macroIdLabel = makeLabel("Macro Id", macroIdBox, "Label20");
    bootMacroLabel = makeLabel("Boot Macro", bootMacroBox, "Label21");
    macroCountLabel = makeLabel("# of Macros", macroCountBox, "Label23");
    readingNote = named(new QLabel(QStringLiteral("Reading E2prom...")), "ReadingMsg");
    readCancelButton = makeButton("ReadCancelCmd", "C&ancel", "Stop the read now (Esc)");

    // The header fields appear only once a read has filled them; their room
    // is kept, so nothing moves when they come and go.
    for (QWidget* w :
         {static_cast<QWidget*>(macroIdBox), static_cast<QWidget*>(bootMacroBox),
          static_cast<QWidget*>(macroCountBox), static_cast<QWidget*>(macroIdLabel),
          static_cast<QWidget*>(bootMacroLabel), static_cast<QWidget*>(macroCountLabel),
          static_cast<QWidget*>(readingNote), static_cast<QWidget*>(readCancelButton)}) {
        keepRoomWhenHidden(w);
        w->setVisible(false);
    }

    auto* header = new QGridLayout;
    header->addWidget(macroIdLabel, 0, 0);
    header->addWidget(bootMacroLabel, 0, 1);
    header->addWidget(macroCountLabel, 0, 2);
    header->addWidget(macroIdBox, 1, 0);
    header->addWidget(bootMacroBox, 1, 1);
    header->addWidget(macroCountBox, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(readE2promButton);
    buttons->addWidget(clearAllButton);
    buttons->addWidget(saveToFileButton);
    buttons->addWidget(convertStatusArgumentsBox);
    // After the established controls, so that none of them moves.
    buttons->addWidget(saveImageButton);
    buttons->addStretch(1);

    // The note and the Cancel that goes with it share a row.
    auto* reading = new QHBoxLayout;
    reading->addWidget(readingNote);
    reading->addWidget(readCancelButton);
    reading->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(reading);
    layout->addLayout(header);
    layout->addWidget(makeLabel("E2prom Data", e2promTextBox, "Label19"));
    layout->addWidget(e2promTextBox, 1);
}

void ReadBackTab::connectHandlers() {
    connect(readE2promButton, &QPushButton::clicked, this, [this] { onCommand1Clicked(); });
    connect(clearAllButton, &QPushButton::clicked, this, [this] { onCommand2Clicked(); });
    connect(saveToFileButton, &QPushButton::clicked, this, [this] { onSaveCmdClicked(); });
    connect(saveImageButton, &QPushButton::clicked, this, [this] { onSaveImageCmdClicked(); });
    connect(readCancelButton, &QPushButton::clicked, this, [this] { onReadCancelCmdClicked(); });
}

void ReadBackTab::onCommand1Clicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        const auto result = utilities::readE2prom(ctx, *m_view, m_host.prompter(),
                                                  utilities::workFilePath(m_host.state().DataDir));
        // The work file is a by-product: the text shown does not depend on it.
        base::skipOnError(result.workFile);
    });
}

// The read ends at its next wait, within a tick, and sends nothing more.
void ReadBackTab::onReadCancelCmdClicked() {
    if (link::LinkContext* ctx = m_host.link()) {
        ctx->CancelFlag = true;
    }
}

void ReadBackTab::onCommand2Clicked() {
    utilities::clearAll(*m_view);
}

void ReadBackTab::onSaveCmdClicked() {
    const std::string text = m_view->e2promText();
    if (!utilities::readyToSave(text, m_host.prompter())) {
        return;
    }
    const QString name = askFileName ? askFileName() : QString();
    // A failure is shown by SaveToFile itself.
    static_cast<void>(utilities::SaveToFile(pathFromQt(name), text, m_host.prompter()));
}

// The name first: a read is not started for a save the user then declines.
// The last read's image is saved only while no operation has run since it.
void ReadBackTab::onSaveImageCmdClicked() {
    const QString name = askImageFileName ? askImageFileName() : QString();
    if (name.isEmpty()) {
        return;
    }
    const bool current = m_image && m_imageReadAt == m_host.operationsStarted();
    if (!current && !readImage()) {
        return;
    }
    const base::Status saved = contents::writeBackupFile(pathFromQt(name), *m_image);
    if (!saved) {
        m_host.prompter().show("The image was not saved: " + saved.message(), base::Icon::Critical,
                               base::Buttons::Ok);
    }
}

bool ReadBackTab::readImage() {
    m_image.reset();
    std::optional<contents::ModuleContents> image;
    const bool ran = m_host.runOperation([&](link::LinkContext& ctx) {
        m_view->showReadingMessage(true);
        contents::ModuleContents held;
        int unreadEntries = 0;
        const contents::ReadingEnd end = contents::readForBackup(ctx, held, &unreadEntries);
        // The wake-up switched the receive window off for the read.
        if (ctx.lines.ReceiveWindowTicked) {
            ctx.shared.ReceiveWindowActive = true;
        }
        m_view->showReadingMessage(false);
        const ImageReadProblem problem = imageReadProblem(end, held, unreadEntries, ctx);
        if (!problem.text.empty()) {
            m_host.prompter().show(problem.text, problem.icon, base::Buttons::Ok);
            return;
        }
        image = std::move(held);
    });
    if (!ran || !image) {
        return false;
    }
    m_image = std::move(image);
    m_imageReadAt = m_host.operationsStarted();
    return true;
}

}  // namespace brindle::app
