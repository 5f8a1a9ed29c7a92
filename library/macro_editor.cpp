#include "library/macro_editor.h"

#include "base/text.h"
#include "download/image_prepare.h"
#include "library/editor_messages.h"
#include "library/name_width.h"
#include "store/databases.h"
#include "store/library_lock.h"

namespace brindle::library {

std::optional<int32_t> findNamedMacro(state::MainState& state, const std::string& name) {
    const std::string wanted = base::fixedWidth(name, store::kMacroNameWidth);
    if (base::trimBlanks(wanted).empty()) {
        return std::nullopt;
    }
    return store::FindMacro(state.DataDir, wanted, state.MacroBuffer);
}

std::string shownMacroText(const store::MacroRecord& record) {
    return base::trimBlanks(record.Body);
}

std::string macroSizeCaption(const std::string& shownText) {
    return std::to_string(shownText.size()) + " Bytes";
}

MacroEdit chooseMacro(state::MainState& state, const std::string& entry) {
    MacroEdit edit;
    auto number = findNamedMacro(state, entry);
    if (!number) {
        edit.outcome = EditOutcome::NotFound;
        return edit;
    }
    edit.MacroText = shownMacroText(state.MacroBuffer);
    edit.MacroSizeLabel = macroSizeCaption(*edit.MacroText);
    edit.outcome = EditOutcome::Done;
    return edit;
}

MacroEdit newMacro() {
    MacroEdit edit;
    edit.MacroList = std::string();
    edit.MacroText = std::string();
    edit.MacroSizeLabel = macroSizeCaption(std::string());
    edit.outcome = EditOutcome::Done;
    return edit;
}

namespace {

// What the Macro Module would not keep as the text says: a warning, and the
// save goes on. At most kShownNotes notes are listed, then how many more.
void warnOfCompileNotes(const std::string& name, const std::string& text,
                        base::Prompter& prompter) {
    constexpr std::size_t kShownNotes = 12;
    const std::vector<std::string> notes = download::compileNotes(name, text);
    if (notes.empty()) {
        return;
    }
    std::string message = kCompileNotesWarning;
    for (std::size_t i = 0; i < notes.size() && i < kShownNotes; ++i) {
        message += "\r\n" + notes[i];
    }
    if (notes.size() > kShownNotes) {
        message += "\r\n... and " + std::to_string(notes.size() - kShownNotes) + " more";
    }
    prompter.show(message, base::Icon::Exclamation, base::Buttons::Ok);
}

// Fills MacroBuffer for a save; Reserved stays as the look-up left it.
void fillBuffer(store::MacroRecord& buffer, const std::string& name, const std::string& text) {
    buffer.Name = name;
    buffer.Spare1 = 0;
    buffer.Spare2 = 0;
    buffer.Body = base::fixedWidth(text, store::kMacroBodyWidth);
}

// Writes the text as record `existing`, or appends it when that is none; the
// caller holds the lock since its look-up.
void writeFound(state::MainState& state, const std::string& name, const std::string& text,
                std::optional<int32_t> existing, MacroEdit& edit) {
    fillBuffer(state.MacroBuffer, name, text);
    const int32_t number = existing ? *existing : store::macroCount(state.DataDir) + 1;
    if (base::Status written = store::writeMacro(state.DataDir, number, state.MacroBuffer);
        !written) {
        edit.fail(std::move(written));
        return;
    }
    if (!existing) {
        edit.addedEntry = name;
    }
    edit.MacroSizeLabel = macroSizeCaption(shownMacroText(state.MacroBuffer));
    edit.outcome = EditOutcome::Done;
}

// The same after looking the name up afresh under the lock.
void writeNamed(state::MainState& state, const std::string& name, const std::string& text,
                MacroEdit& edit) {
    auto lock = store::LibraryLock::acquire(state.DataDir);
    if (!lock) {
        edit.fail(lock.status());
        return;
    }
    writeFound(state, name, text, store::FindMacro(state.DataDir, name, state.MacroBuffer), edit);
}

}  // namespace

MacroEdit saveMacro(state::MainState& state, const std::string& nameLine, const std::string& text,
                    base::Prompter& prompter) {
    MacroEdit edit;
    if (!nameFitsField(nameLine, store::kMacroNameWidth, "macro name", kMacroNotSaved, prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const std::string name = base::fixedWidth(nameLine, store::kMacroNameWidth);
    if (base::trimBlanks(name).empty()) {
        // A blank-named record reads as a deleted one: its text would vanish
        // from every list and be overwritten by the next save.
        prompter.show(kBlankMacroName, base::Icon::Critical, base::Buttons::Ok);
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    // Messages come before the library is locked: no other program waits
    // while a question waits for the user.
    if (base::upperAscii(text).find("MACRO") == std::string::npos) {
        prompter.show(kMacroStatementWarning, base::Icon::Critical, base::Buttons::Ok);
    }
    warnOfCompileNotes(name, text, prompter);
    std::optional<int32_t> existing;
    {
        auto lock = store::LibraryLock::acquire(state.DataDir);
        if (!lock) {
            edit.fail(lock.status());
            return edit;
        }
        existing = store::FindMacro(state.DataDir, name, state.MacroBuffer);
        if (!existing) {
            writeFound(state, name, text, existing, edit);
            return edit;
        }
    }
    fillBuffer(state.MacroBuffer, name, text);
    if (prompter.show(kOverwriteQuestion, base::Icon::Exclamation, base::Buttons::YesNo,
                      kOverwriteTitle) != base::Answer::Yes) {
        edit.outcome = EditOutcome::Declined;
        return edit;
    }
    // Another program may have changed the library while the question was
    // open: the record of that name is looked up again, and the text goes
    // there (or to a new record if it was deleted meanwhile).
    writeNamed(state, name, text, edit);
    return edit;
}

MacroEdit saveMacro(state::MainState& state, const std::string& nameLine, const BoxText& text,
                    base::Prompter& prompter) {
    std::optional<std::string> stored = textToStore(text, store::kMacroBodyWidth);
    if (!stored) {
        prompter.show("The macro text would have " + std::to_string(storedLength(text)) +
                          " characters with each line ending in CR LF; a macro holds at most " +
                          std::to_string(store::kMacroBodyWidth) + ". " + kMacroNotSaved,
                      base::Icon::Critical, base::Buttons::Ok);
        MacroEdit edit;
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    return saveMacro(state, nameLine, *stored, prompter);
}

MacroEdit deleteMacro(state::MainState& state, const std::string& nameLine,
                      base::Prompter& prompter) {
    MacroEdit edit;
    if (!nameFitsField(nameLine, store::kMacroNameWidth, "macro name", kNothingDeleted, prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    if (prompter.show(kDeleteMacroQuestion, base::Icon::Exclamation, base::Buttons::YesNo,
                      kDeletionTitle) != base::Answer::Yes) {
        edit.outcome = EditOutcome::Declined;
        return edit;
    }
    const std::string name = base::fixedWidth(nameLine, store::kMacroNameWidth);
    edit.outcome = EditOutcome::NotFound;
    if (!base::trimBlanks(name).empty()) {
        base::Result<bool> deleted = store::deleteMacro(state.DataDir, name, state.MacroBuffer);
        if (!deleted) {
            edit.fail(deleted.status());
        } else if (*deleted) {
            edit.MacroList = std::string();
            edit.MacroText = std::string();
            edit.MacroSizeLabel = macroSizeCaption(std::string());
            edit.outcome = EditOutcome::Done;
        }
    }
    edit.listEntries = store::listMacroNames(state.DataDir, state.MacroBuffer);
    return edit;
}

}  // namespace brindle::library
