#pragma once
// The editors' messages on a terminal. A library command asks nothing: its
// own words are the answer to every Yes/No question (add-macro replaces,
// delete-macro deletes), so those questions are answered without a word. Any
// other message goes to the error stream after the command's name, and an
// OK/Cancel question is answered Cancel, so that nothing is written on a
// doubt.
#include <ostream>
#include <string>

#include "base/prompter.h"

namespace brindle::cli {

class CommandPrompter : public base::Prompter {
  public:
    CommandPrompter(std::ostream& err, std::string command)
        : m_err(err), m_command(std::move(command)) {}

    base::Answer show(const std::string& text, base::Icon, base::Buttons buttons,
                      const std::string&) override {
        if (buttons == base::Buttons::YesNo) {
            return base::Answer::Yes;
        }
        std::string line = text;
        for (std::size_t at = line.find("\r\n"); at != std::string::npos;
             at = line.find("\r\n", at)) {
            line.replace(at, 2, "\n  ");
        }
        m_err << "brindle-cli " << m_command << ": " << line << "\n";
        return buttons == base::Buttons::OkCancel ? base::Answer::Cancel : base::Answer::Ok;
    }

  private:
    std::ostream& m_err;
    std::string m_command;
};

}  // namespace brindle::cli
