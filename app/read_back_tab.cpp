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

bool ReadBackTab::convertStatusArguments() const {
    return StatArgument->isChecked();
}

void ReadBackTab::setConvertStatusArguments(bool ticked) {
    StatArgument->setChecked(ticked);
}

void ReadBackTab::leaveTab() {
    m_view->showHeaderFields(false);
}

std::string ReadBackTab::e2promText() const {
    return m_view->e2promText();
}

bool ReadBackTab::pressCancel() {
    if (ReadCancelCmd->isHidden()) {
        return false;
    }
    ReadCancelCmd->click();
    return true;
}

void ReadBackTab::buildWidgets() {
    Command1 = makeButton("Command1", "&Read E2prom", "Read contents of E2prom in Macro Module");
    Command2 =
        makeButton("Command2", "&Clear All", "Empty the E2prom data and the three values shown");
    SaveCmd = makeButton("SaveCmd", "&Save to File", "Saves Data read to a file");
    SaveImageCmd = makeButton("SaveImageCmd", "Save &Image...",
                              "Save the Macro Module's contents as a backup: Intel HEX for a "
                              ".hex name, otherwise a raw 32 KiB image");
    StatArgument =
        named(new QCheckBox(QStringLiteral("Con&vert Status Arguments to HEX")), "StatArgument");
    StatArgument->setToolTip(
        QStringLiteral("Every download and block command ticks this box; the read-back shows "
                       "the stored text either way"));
    Text1 = named(new QTextEdit, "Text1");
    // The text is what the module holds: shown, not edited, in columns.
    Text1->setReadOnly(true);
    Text1->setAcceptRichText(false);
    Text1->setLineWrapMode(QTextEdit::NoWrap);
    useFixedWidthFont(Text1);
    Text2 = named(new QLineEdit, "Text2");
    Text3 = named(new QLineEdit, "Text3");
    Text4 = named(new QLineEdit, "Text4");
    Label20 = makeLabel("Macro Id", Text2, "Label20");
    Label21 = makeLabel("Boot Macro", Text3, "Label21");
    Label23 = makeLabel("# of Macros", Text4, "Label23");
    ReadingMsg = named(new QLabel(QStringLiteral("Reading E2prom...")), "ReadingMsg");
    ReadCancelCmd = makeButton("ReadCancelCmd", "C&ancel", "Stop the read now (Esc)");

    // The header fields appear only once a read has filled them; their room
    // is kept, so nothing moves when they come and go.
    for (QWidget* w : {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                       static_cast<QWidget*>(Text4), static_cast<QWidget*>(Label20),
                       static_cast<QWidget*>(Label21), static_cast<QWidget*>(Label23),
                       static_cast<QWidget*>(ReadingMsg), static_cast<QWidget*>(ReadCancelCmd)}) {
        keepRoomWhenHidden(w);
        w->setVisible(false);
    }

    auto* header = new QGridLayout;
    header->addWidget(Label20, 0, 0);
    header->addWidget(Label21, 0, 1);
    header->addWidget(Label23, 0, 2);
    header->addWidget(Text2, 1, 0);
    header->addWidget(Text3, 1, 1);
    header->addWidget(Text4, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(SaveCmd);
    buttons->addWidget(StatArgument);
    // After the established controls, so that none of them moves.
    buttons->addWidget(SaveImageCmd);
    buttons->addStretch(1);

    // The note and the Cancel that goes with it share a row.
    auto* reading = new QHBoxLayout;
    reading->addWidget(ReadingMsg);
    reading->addWidget(ReadCancelCmd);
    reading->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(reading);
    layout->addLayout(header);
    layout->addWidget(makeLabel("E2prom Data", Text1, "Label19"));
    layout->addWidget(Text1, 1);
}

void ReadBackTab::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, [this] { onCommand1Clicked(); });
    connect(Command2, &QPushButton::clicked, this, [this] { onCommand2Clicked(); });
    connect(SaveCmd, &QPushButton::clicked, this, [this] { onSaveCmdClicked(); });
    connect(SaveImageCmd, &QPushButton::clicked, this, [this] { onSaveImageCmdClicked(); });
    connect(ReadCancelCmd, &QPushButton::clicked, this, [this] { onReadCancelCmdClicked(); });
}

void ReadBackTab::onCommand1Clicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        const auto result = utilities::ReadE2prom(ctx, *m_view, m_host.prompter(),
                                                  utilities::workFilePath(m_host.state().DataDir));
        // The work file is a by-product: the text shown does not depend on it.
        base::skipOnError(result.workFile);
    });
}

// The read ends at its next wait, within a tick, and sends nothing more.
void ReadBackTab::onReadCancelCmdClicked() {
    m_host.state().CancelFlag = true;
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
        if (ctx.receive.receiveWindowTicked()) {
            ctx.state.ReceiveWindowActive = true;
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
