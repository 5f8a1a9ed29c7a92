#include "library/macro_editor.h"

#include "base/text.h"
#include "library/editor_messages.h"
#include "store/databases.h"

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
    state.MacroRecordNumber = *number;
    edit.outcome = EditOutcome::Done;
    return edit;
}

MacroEdit newMacro() {
    MacroEdit edit;
    edit.MacroList = std::string();
    edit.MacroText = std::string();
    edit.outcome = EditOutcome::Done;
    return edit;
}

MacroEdit saveMacro(state::MainState& state, const std::string& nameLine, const std::string& text,
                    base::Prompter& prompter) {
    MacroEdit edit;
    const std::string name = base::fixedWidth(nameLine, store::kMacroNameWidth);
    if (base::trimBlanks(name).empty()) {
        // A blank-named record reads as a deleted one: its text would vanish
        // from every list and be overwritten by the next save.
        prompter.show(kBlankMacroName, base::Icon::Critical, base::Buttons::Ok);
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const std::optional<int32_t> existing =
        store::FindMacro(state.DataDir, name, state.MacroBuffer);
    if (base::upperAscii(text).find("MACRO") == std::string::npos) {
        prompter.show(kMacroStatementWarning, base::Icon::Critical, base::Buttons::Ok);
    }
    store::MacroRecord& buffer = state.MacroBuffer;
    buffer.Name = name;
    buffer.Spare1 = 0;
    buffer.Spare2 = 0;
    buffer.Body = base::fixedWidth(text, store::kMacroBodyWidth);
    // Reserved stays as the look-up left it.

    if (existing) {
        state.MacroRecordNumber = *existing;
        if (prompter.show(kOverwriteQuestion, base::Icon::Exclamation, base::Buttons::YesNo,
                          kOverwriteTitle) != base::Answer::Yes) {
            edit.outcome = EditOutcome::Declined;
            return edit;
        }
        if (base::Status written = store::writeMacro(state.DataDir, *existing, buffer); !written) {
            edit.fail(std::move(written));
            return edit;
        }
        edit.outcome = EditOutcome::Done;
        return edit;
    }
    const int32_t number = store::macroCount(state.DataDir) + 1;
    if (base::Status written = store::writeMacro(state.DataDir, number, buffer); !written) {
        edit.fail(std::move(written));
        return edit;
    }
    edit.addedEntry = name;
    state.MacroRecordNumber = number;
    edit.outcome = EditOutcome::Done;
    return edit;
}

MacroEdit deleteMacro(state::MainState& state, const std::string& nameLine,
                      base::Prompter& prompter) {
    MacroEdit edit;
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
            edit.outcome = EditOutcome::Done;
        }
    }
    edit.listEntries = store::listMacroNames(state.DataDir, state.MacroBuffer);
    return edit;
}

}  // namespace brindle::library
