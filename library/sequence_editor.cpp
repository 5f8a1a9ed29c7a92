#include "library/sequence_editor.h"

#include "base/numeric.h"
#include "base/text.h"
#include "library/editor_messages.h"
#include "library/name_width.h"
#include "store/databases.h"
#include "store/library_lock.h"

namespace brindle::library {
namespace {

constexpr int kLastSlot = static_cast<int>(store::kSequenceSlots) - 1;

bool validLine(const ComboForm& form) {
    return form.selectedLine >= 0 &&
           form.selectedLine < static_cast<int>(form.MacroComboList.size());
}

// The slot of a list line: the position it shows, less one. A line without a
// readable position stands for the slot of its list index.
int slotOfLine(const ComboForm& form, int index) {
    auto position =
        store::sequenceLinePosition(form.MacroComboList[static_cast<std::size_t>(index)]);
    return position ? *position - 1 : index;
}

// A slot holding a macro that the lists show (not empty, not deleted).
bool holdsListedMacro(const std::string& dataDir, int32_t number) {
    if (number < 1) {
        return false;
    }
    auto record = store::readMacro(dataDir, number);
    return record && !base::trimBlanks(record->Name).empty();
}

// Whether StartingMacroNum names a position that holds a macro. Only then
// does it move with the sequence: a position typed before its macro was
// inserted stays where it was typed.
bool holdsBootMacro(const store::ComboRecord& record) {
    const int boot = record.StartingMacroNum;
    return boot >= 1 && boot <= kLastSlot + 1 &&
           record.Sequence[static_cast<std::size_t>(boot) - 1] >= 1;
}

// Writes the changed record and fills the edit with its new sequence list.
// The StartingMacroNum box follows a moved boot position when it showed the
// stored one (typed but unsaved text stays).
void writeBack(state::MainState& state, const ComboForm& form, const store::ComboMatch& match,
               int16_t oldBoot, ComboEdit& edit) {
    if (base::Status written = store::writeCombo(state.DataDir, match.number, match.record);
        !written) {
        edit.fail(std::move(written));
        return;
    }
    edit.MacroComboList = sequenceLines(state, match.record);
    if (match.record.StartingMacroNum != oldBoot &&
        base::textToInt16(form.StartingMacroNum) == oldBoot) {
        edit.StartingMacroNum = base::decimalText(match.record.StartingMacroNum);
    }
    edit.outcome = EditOutcome::Done;
}

}  // namespace

namespace {

// Insert/Add with the library locked; returns the message that refuses it,
// if any, for the caller to show once the lock is released.
const char* insertLocked(state::MainState& state, const ComboForm& form,
                         const std::string& macroName, ComboEdit& edit) {
    const std::optional<int32_t> number = findNamedMacro(state, macroName);
    if (!number) {
        edit.outcome = EditOutcome::NotFound;
        return nullptr;
    }

    int after = -1;  // the slot after which the macro goes
    if (validLine(form)) {
        after = slotOfLine(form, form.selectedLine);
    } else if (!form.MacroComboList.empty()) {
        after = slotOfLine(form, static_cast<int>(form.MacroComboList.size()) - 1);
    }
    const int slot = after + 1;

    auto match =
        store::FindCombo(state.DataDir, base::fixedWidth(form.ComboList, store::kComboNameWidth));
    if (!match) {
        edit.outcome = EditOutcome::NotFound;
        return kComboNotFound;
    }
    auto& sequence = match->record.Sequence;
    const int16_t oldBoot = match->record.StartingMacroNum;
    const bool bootMoves = holdsBootMacro(match->record) && oldBoot - 1 >= slot;
    if (slot > kLastSlot || holdsListedMacro(state.DataDir, sequence[kLastSlot])) {
        edit.outcome = EditOutcome::Refused;
        return kSequenceFull;
    }
    for (int s = kLastSlot - 1; s >= slot; --s) {
        sequence[static_cast<std::size_t>(s) + 1] = sequence[static_cast<std::size_t>(s)];
    }
    sequence[static_cast<std::size_t>(slot)] = *number;

    if (bootMoves) {
        // The boot macro moved one on; at 256 it had nowhere to go.
        match->record.StartingMacroNum =
            oldBoot <= kLastSlot ? static_cast<int16_t>(oldBoot + 1) : int16_t{0};
    }
    writeBack(state, form, *match, oldBoot, edit);
    if (edit.outcome == EditOutcome::Done) {
        const std::vector<std::string>& lines = *edit.MacroComboList;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (store::sequenceLinePosition(lines[i]) == slot + 1) {
                edit.selectedLine = static_cast<int>(i);
            }
        }
    }
    return nullptr;
}

}  // namespace

ComboEdit insertMacro(state::MainState& state, const ComboForm& form, const std::string& macroName,
                      base::Prompter& prompter) {
    ComboEdit edit;
    if (!nameFitsField(macroName, store::kMacroNameWidth, "macro name", kNothingInserted,
                       prompter) ||
        !nameFitsField(form.ComboList, store::kComboNameWidth, "combination name", kNothingInserted,
                       prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const char* refusal = nullptr;
    {
        // From the macro's look-up to the combination's write.
        auto lock = store::LibraryLock::acquire(state.DataDir);
        if (!lock) {
            edit.fail(lock.status());
            return edit;
        }
        refusal = insertLocked(state, form, macroName, edit);
    }
    if (refusal != nullptr) {
        prompter.show(refusal, base::Icon::Critical, base::Buttons::Ok);
    }
    return edit;
}

ComboEdit unlinkMacro(state::MainState& state, const ComboForm& form, base::Prompter& prompter) {
    ComboEdit edit;
    if (!validLine(form)) {
        return edit;
    }
    if (!nameFitsField(form.ComboList, store::kComboNameWidth, "combination name", kNothingRemoved,
                       prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const int slot = slotOfLine(form, form.selectedLine);
    auto lock = store::LibraryLock::acquire(state.DataDir);
    if (!lock) {
        edit.fail(lock.status());
        return edit;
    }
    auto match =
        store::FindCombo(state.DataDir, base::fixedWidth(form.ComboList, store::kComboNameWidth));
    if (!match) {
        edit.outcome = EditOutcome::NotFound;
        return edit;
    }
    auto& sequence = match->record.Sequence;
    const int16_t oldBoot = match->record.StartingMacroNum;
    const bool bootMoves = holdsBootMacro(match->record) && oldBoot - 1 > slot;
    for (int s = slot; s < kLastSlot; ++s) {
        sequence[static_cast<std::size_t>(s)] = sequence[static_cast<std::size_t>(s) + 1];
    }
    sequence[kLastSlot] = 0;

    if (oldBoot - 1 == slot) {
        match->record.StartingMacroNum = 0;
    } else if (bootMoves) {
        match->record.StartingMacroNum = static_cast<int16_t>(oldBoot - 1);
    }
    writeBack(state, form, *match, oldBoot, edit);
    return edit;
}

MacroEdit previewSequenceLine(state::MainState& state, const ComboForm& form) {
    MacroEdit edit;
    if (!validLine(form)) {
        return edit;
    }
    const std::string name = base::fixedWidth(
        store::sequenceLineName(form.MacroComboList[static_cast<std::size_t>(form.selectedLine)]),
        store::kMacroNameWidth);
    // The line's macro is loaded as if chosen from the macro list.
    edit = chooseMacro(state, name);
    if (edit.outcome == EditOutcome::Done) {
        edit.MacroList = name;
    }
    return edit;
}

}  // namespace brindle::library
