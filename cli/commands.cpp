#include "cli/commands.h"

namespace brindle::cli {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"normalise", "rewrite a macro text's status arguments and jump shorthand", runNormalise},
        {"compile", "compile a macro text into the image the Macro Module stores", runCompile},
        {"macros", "list the macro names of a data folder", runMacros},
        {"combos", "list the combination names of a data folder", runCombos},
        {"show-combo", "show one combination and its macro sequence", runShowCombo},
        {"add-macro", "store a macro text in a data folder", runAddMacro},
        {"add-combo", "store a combination of macros in a data folder", runAddCombo},
        {"show-macro", "print the stored text of one macro", runShowMacro},
        {"delete-macro", "delete a macro from a data folder", runDeleteMacro},
        {"delete-combo", "delete a combination from a data folder", runDeleteCombo},
        {"insert", "insert a macro into a combination's sequence", runInsert},
        {"unlink", "remove a line from a combination's sequence", runUnlink},
        {"export", "write the whole library as plain text files", runExport},
        {"import", "read a library export into an empty data folder", runImport},
        {"download", "download a combination into the Macro Module", runDownload},
        {"read", "read the Macro Module's E2PROM back as text", runRead},
        {"verify", "compare the Macro Module with a combination, writing nothing", runVerify},
        {"backup", "save what the Macro Module holds to a file", runBackup},
        {"restore", "write a backup back into the Macro Module", runRestore},
        {"exec", "make the controller run one macro block of a combination", runExec},
        {"cancel", "cancel the macro block the controller is running", runCancel},
        {"clear", "write 0 into a range of E2PROM locations", runClear},
        {"ports", "list the serial ports and the Com each is chosen for", runPorts},
        {"monitor", "print the lines the controller sends, sending nothing", runMonitor},
    };
    return table;
}

}  // namespace brindle::cli
