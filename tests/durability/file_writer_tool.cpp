// The writers that no brindle-cli command runs, as a program that the
// fault-injection and disk-full tests can kill or limit: the configuration
// record's writers, the help document's save and the read-back's Save to File.
//
//   brindle-file-writer config-startup DIR
//   brindle-file-writer config-delay DIR TEXT
//   brindle-file-writer config-port DIR N
//   brindle-file-writer config-baud DIR CAPTION
//   brindle-file-writer help FILE TEXT
//   brindle-file-writer save-to-file FILE TEXT
//
// Exit status 0 when the file was written, 1 with the message on standard
// error when it was not, 2 for other words.
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "richtext/help_file.h"
#include "richtext/reader.h"
#include "store/config.h"
#include "utilities/save_to_file.h"

namespace {

using namespace brindle;

// Save to File shows its failure; here it goes to standard error.
class ErrorStreamPrompter : public base::Prompter {
  public:
    base::Answer show(const std::string& text, base::Icon, base::Buttons buttons,
                      const std::string&) override {
        std::cerr << text << "\n";
        return base::safeAnswer(buttons);
    }
};

int report(const base::Status& status) {
    if (!status) {
        std::cerr << status.message() << "\n";
        return 1;
    }
    return 0;
}

int run(const std::vector<std::string>& a) {
    if (a.size() == 2 && a[0] == "config-startup") {
        return report(store::loadConfigAtStartup(a[1]).status());
    }
    if (a.size() != 3) {
        return 2;
    }
    store::ConfigRecord config;
    int16_t readCopy = 0;
    int16_t writeCopy = 0;
    if (a[0] == "config-delay") {
        return report(store::storeDelay(a[1], config, store::DelayField::Write, a[2], writeCopy));
    }
    if (a[0] == "config-port") {
        return report(store::storePort(a[1], config, std::stoi(a[2]), readCopy, writeCopy));
    }
    if (a[0] == "config-baud") {
        return report(store::storeBaud(a[1], config, a[2], readCopy, writeCopy));
    }
    if (a[0] == "help") {
        return report(richtext::saveHelpDocument(a[1], richtext::readPlainText(a[2])));
    }
    if (a[0] == "save-to-file") {
        // Its failure is shown through the prompter already.
        ErrorStreamPrompter prompter;
        return utilities::SaveToFile(a[1], a[2], prompter) ? 0 : 1;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
