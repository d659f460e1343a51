// Messages and questions of the core shown on a terminal: messages go to standard error;
// questions take the answer given on the command line (--yes / --no) or, on an interactive
// terminal without one, read it from standard input.
#pragma once

#include <optional>

#include "startup/prompter.h"

namespace mok::app {

class TerminalPrompter : public Prompter {
 public:
  // `fixedAnswer`: true answers Yes/OK, false answers No/Cancel; nullopt asks on a terminal
  // and takes the default (Yes/OK) when standard input is not one.
  explicit TerminalPrompter(std::optional<bool> fixedAnswer = std::nullopt)
      : fixedAnswer_(fixedAnswer) {}
  void ShowMessage(const std::u16string& text, MessageIcon icon,
                   const std::u16string& title) override;
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override;

 private:
  std::optional<bool> fixedAnswer_;
};

}  // namespace mok::app
