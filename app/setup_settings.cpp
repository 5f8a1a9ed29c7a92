// The Setup tab's settings: the two delay selectors and the speed and port
// options, each stored in "ZrtCfg.Dat" at once.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/main_window.h"
#include "app/text_conversion.h"
#include "base/numeric.h"

namespace brindle::app {

namespace {

std::size_t slot(store::DelayField field) {
    return field == store::DelayField::Read ? 0 : 1;
}

}  // namespace

QComboBox* MainWindow::delaySelector(store::DelayField field) const {
    return field == store::DelayField::Read ? m_setup.PostReadDelay : m_setup.PostWriteDelay;
}

int16_t& MainWindow::delayCopy(store::DelayField field) {
    return field == store::DelayField::Read ? m_state.PostReadDelayMs : m_state.PostWriteDelayMs;
}

void MainWindow::connectSetupHandlers() {
    for (store::DelayField field : {store::DelayField::Read, store::DelayField::Write}) {
        QComboBox* selector = delaySelector(field);
        connect(selector, &QComboBox::editTextChanged, this,
                [this, field] { delayTextChanged(field); });
        connect(selector, &QComboBox::activated, this,
                [this, field](int entry) { delayEntryChosen(field, entry); });
        connect(selector->lineEdit(), &QLineEdit::editingFinished, this,
                [this, field] { delayEditingFinished(field); });
    }
    for (std::size_t i = 0; i < m_setup.BaudOpt.size(); ++i) {
        connect(m_setup.BaudOpt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                BaudOpt_Click(static_cast<int>(i));
            }
        });
    }
    for (std::size_t i = 0; i < m_setup.ComOpt.size(); ++i) {
        connect(m_setup.ComOpt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                ComOpt_Click(static_cast<int>(i));
            }
        });
    }
}

// Runs on every keystroke, so a refusal is only remembered here and shown
// once when editing finishes.
void MainWindow::delayTextChanged(store::DelayField field) {
    const base::Status status =
        store::storeDelay(m_state.DataDir, m_state.ConfigRecord, field,
                          fromQt(delaySelector(field)->currentText()), delayCopy(field));
    if (!m_settingDelayText && m_state.LoadedYet) {
        m_pendingDelayFailure[slot(field)] = status;
    }
}

void MainWindow::delayEntryChosen(store::DelayField field, int entry) {
    const base::Status status =
        store::storeDelay(m_state.DataDir, m_state.ConfigRecord, field,
                          fromQt(delaySelector(field)->itemText(entry)), delayCopy(field));
    // Choosing an entry is one event: report now, and not again later.
    m_pendingDelayFailure[slot(field)] = base::Status::success();
    reportFailure(status);
}

void MainWindow::delayEditingFinished(store::DelayField field) {
    const base::Status failure = m_pendingDelayFailure[slot(field)];
    if (failure) {
        return;
    }
    m_pendingDelayFailure[slot(field)] = base::Status::success();
    reportFailure(failure);
    // A refused value is replaced by the one the record holds, so the box
    // does not keep showing a value that was never stored. (After a failed
    // write the text stays, for the user to try again.)
    QComboBox* selector = delaySelector(field);
    if (!base::textToInt16(fromQt(selector->currentText()))) {
        m_settingDelayText = true;
        selector->setEditText(QString::fromStdString(base::decimalText(delayCopy(field))));
        m_settingDelayText = false;
    }
}

void MainWindow::BaudOpt_Click(int index) {
    const QRadioButton* option = m_setup.BaudOpt[static_cast<std::size_t>(index)];
    reportFailure(store::storeBaud(m_state.DataDir, m_state.ConfigRecord, fromQt(option->text()),
                                   m_state.PostReadDelayMs, m_state.PostWriteDelayMs));
    InitializePort();
}

void MainWindow::ComOpt_Click(int index) {
    reportFailure(store::storePort(m_state.DataDir, m_state.ConfigRecord, index + 1,
                                   m_state.PostReadDelayMs, m_state.PostWriteDelayMs));
    InitializePort();
}

}  // namespace brindle::app
