#pragma once
// The window's Prompter: a modal QMessageBox with the requested icon,
// buttons and title.
#include "base/prompter.h"

class QWidget;

namespace brindle::app {

class MessageBoxPrompter : public base::Prompter {
  public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string& title) override;

  private:
    QWidget* m_parent;
};

}  // namespace brindle::app
