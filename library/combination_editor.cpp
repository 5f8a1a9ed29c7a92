#include "library/combination_editor.h"

#include <algorithm>

#include "base/numeric.h"
#include "base/text.h"
#include "library/editor_messages.h"
#include "library/loose_match.h"
#include "library/name_width.h"
#include "store/databases.h"
#include "store/library_lock.h"

namespace brindle::library {
namespace {

constexpr std::size_t kVersionWidth = 16;
constexpr std::size_t kDescriptionWidth = 80;

void emptyTheForm(ComboEdit& edit) {
    edit.ComboList = std::string();
    edit.VersionText = std::string();
    edit.StartingMacroNum = std::string();
    edit.DescriptionText = std::string();
    edit.NodeAddress = std::string();
    edit.MacroComboList = std::vector<std::string>();
}

// A 16-bit value of a box, or a message naming the box.
std::optional<int16_t> boxValue(const std::string& text, const char* caption,
                                base::Prompter& prompter) {
    std::optional<int16_t> value = base::textToInt16(text);
    if (!value) {
        prompter.show(std::string("\"") + caption +
                          "\" must lie between -32768 and 32767. The combination was not saved.",
                      base::Icon::Critical, base::Buttons::Ok);
    }
    return value;
}

// Line j is stored in slot j, so lines move up where the list skipped empty
// slots or deleted macros. The boot macro stays the same macro: a boot number
// that a line shows as its position follows that line. Any other number
// stays as typed.
int16_t bootAfterSave(const ComboForm& form, std::size_t lineCount, int16_t boot) {
    for (std::size_t j = 0; j < lineCount; ++j) {
        if (store::sequenceLinePosition(form.MacroComboList[j]) == boot) {
            return static_cast<int16_t>(j + 1);
        }
    }
    return boot;
}

}  // namespace

std::vector<std::string> sequenceLines(state::MainState& state, const store::ComboRecord& combo) {
    std::vector<std::string> lines;
    for (const auto& entry : store::sequenceEntries(state.DataDir, combo, state.MacroBuffer)) {
        lines.push_back(entry.line);
    }
    return lines;
}

ComboEdit chooseCombination(state::MainState& state, const std::string& entry) {
    ComboEdit edit;
    auto match = store::FindCombo(state.DataDir, base::fixedWidth(entry, store::kComboNameWidth));
    if (!match) {
        edit.outcome = EditOutcome::NotFound;
        return edit;
    }
    const store::ComboRecord& record = match->record;
    edit.DescriptionText = record.Description;
    edit.VersionText = record.Version;
    edit.StartingMacroNum = base::decimalText(record.StartingMacroNum);
    edit.NodeAddress = base::decimalText(record.NodeAddress);
    edit.MacroComboList = sequenceLines(state, record);
    edit.outcome = EditOutcome::Done;
    return edit;
}

ComboEdit newCombination() {
    ComboEdit edit;
    emptyTheForm(edit);
    edit.outcome = EditOutcome::Done;
    return edit;
}

ComboEdit saveCombination(state::MainState& state, const ComboForm& form,
                          base::Prompter& prompter) {
    ComboEdit edit;
    if (base::trimBlanks(form.ComboList).empty()) {
        return edit;
    }
    if (!nameFitsField(form.ComboList, store::kComboNameWidth, "combination name", kComboNotSaved,
                       prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const auto starting = boxValue(form.StartingMacroNum, "Starting Macro #", prompter);
    if (!starting) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    const auto node = boxValue(form.NodeAddress, "Node Address", prompter);
    if (!node) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }

    const std::size_t lineCount = std::min(form.MacroComboList.size(), store::kSequenceSlots);
    std::vector<std::string> names;
    for (std::size_t j = 0; j < lineCount; ++j) {
        names.push_back(store::sequenceLineName(form.MacroComboList[j]));
    }
    const std::vector<LooseMatch> matches =
        findMacrosLoosely(state.DataDir, names, state.MacroBuffer);
    std::string invalid;
    for (std::size_t j = 0; j < lineCount; ++j) {
        if (matches[j].number == 0) {
            invalid += (invalid.empty() ? "" : "\r\n") + names[j];
        }
    }
    if (!invalid.empty() &&
        prompter.show(std::string(kInvalidEntries) + "\r\n" + invalid, base::Icon::Critical,
                      base::Buttons::OkCancel) != base::Answer::Ok) {
        edit.outcome = EditOutcome::Declined;
        return edit;
    }

    store::ComboRecord record;
    record.Name = base::fixedWidth(form.ComboList, store::kComboNameWidth);
    record.Description = base::fixedWidth(form.DescriptionText, kDescriptionWidth);
    record.Version = base::fixedWidth(form.VersionText, kVersionWidth);
    record.StartingMacroNum = bootAfterSave(form, lineCount, *starting);
    record.NodeAddress = *node;
    for (std::size_t j = 0; j < lineCount; ++j) {
        record.Sequence[j] = matches[j].number;
    }
    edit = storeCombination(state, record, prompter);
    if (edit.outcome == EditOutcome::Done && record.StartingMacroNum != *starting) {
        edit.StartingMacroNum = base::decimalText(record.StartingMacroNum);
    }
    if (edit.outcome == EditOutcome::Done) {
        // Line j now stands for slot j: show each line at that position, so
        // that Insert, Delete Macro Link and the click act where the user sees.
        std::vector<std::string> lines;
        for (std::size_t j = 0; j < lineCount; ++j) {
            const int position = static_cast<int>(j) + 1;
            lines.push_back(
                store::SequenceLine(position, record.StartingMacroNum,
                                    matches[j].number > 0 ? matches[j].storedName : names[j]));
        }
        edit.MacroComboList = std::move(lines);
    }
    return edit;
}

ComboEdit saveCombination(state::MainState& state, ComboForm form, const BoxText& description,
                          base::Prompter& prompter) {
    std::optional<std::string> stored = textToStore(description, kDescriptionWidth);
    if (!stored && !base::trimBlanks(form.ComboList).empty()) {
        prompter.show("The description would have " + std::to_string(storedLength(description)) +
                          " characters with each line ending in CR LF; a description holds at "
                          "most " +
                          std::to_string(kDescriptionWidth) + ". " + kComboNotSaved,
                      base::Icon::Critical, base::Buttons::Ok);
        ComboEdit edit;
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    form.DescriptionText = stored ? std::move(*stored) : std::string();
    return saveCombination(state, form, prompter);
}

namespace {

// Writes the record over `match`, or appends it when that is none; the caller
// holds the lock since its look-up.
void writeFound(state::MainState& state, const store::ComboRecord& record,
                const std::optional<store::ComboMatch>& match, ComboEdit& edit) {
    const int32_t number = match ? match->number : store::comboCount(state.DataDir) + 1;
    if (base::Status written = store::writeCombo(state.DataDir, number, record); !written) {
        edit.fail(std::move(written));
        return;
    }
    if (!match) {
        edit.addedEntry = record.Name;
    }
    edit.outcome = EditOutcome::Done;
}

}  // namespace

ComboEdit storeCombination(state::MainState& state, const store::ComboRecord& record,
                           base::Prompter& prompter) {
    ComboEdit edit;
    {
        auto lock = store::LibraryLock::acquire(state.DataDir);
        if (!lock) {
            edit.fail(lock.status());
            return edit;
        }
        auto match = store::FindCombo(state.DataDir, record.Name);
        if (!match) {
            writeFound(state, record, match, edit);
            return edit;
        }
    }
    // The question waits without the lock; the name is looked up again after.
    if (prompter.show(kOverwriteQuestion, base::Icon::Exclamation, base::Buttons::YesNo,
                      kOverwriteTitle) != base::Answer::Yes) {
        edit.outcome = EditOutcome::Declined;
        return edit;
    }
    auto lock = store::LibraryLock::acquire(state.DataDir);
    if (!lock) {
        edit.fail(lock.status());
        return edit;
    }
    writeFound(state, record, store::FindCombo(state.DataDir, record.Name), edit);
    return edit;
}

ComboEdit deleteCombination(state::MainState& state, const std::string& nameLine,
                            base::Prompter& prompter) {
    ComboEdit edit;
    if (!nameFitsField(nameLine, store::kComboNameWidth, "combination name", kNothingDeleted,
                       prompter)) {
        edit.outcome = EditOutcome::Refused;
        return edit;
    }
    if (prompter.show(kDeleteComboQuestion, base::Icon::Exclamation, base::Buttons::YesNo,
                      kDeletionTitle) != base::Answer::Yes) {
        edit.outcome = EditOutcome::Declined;
        return edit;
    }
    const std::string name = base::fixedWidth(nameLine, store::kComboNameWidth);
    if (base::trimBlanks(name).empty()) {
        edit.outcome = EditOutcome::NotFound;
        return edit;
    }
    base::Result<bool> deleted = store::deleteCombo(state.DataDir, name);
    if (deleted && !*deleted) {
        edit.outcome = EditOutcome::NotFound;
        return edit;
    }
    if (!deleted) {
        edit.fail(deleted.status());
        // The record may already be blanked, only the squeeze having failed:
        // then the combination is gone and the form follows the file.
        if (store::FindCombo(state.DataDir, name)) {
            return edit;
        }
    } else {
        edit.outcome = EditOutcome::Done;
    }
    emptyTheForm(edit);
    edit.removedEntry = name;
    return edit;
}

}  // namespace brindle::library
