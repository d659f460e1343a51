#include "terminal_prompter.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "terminal_text.h"

namespace mok::app {
namespace {

Answer Positive(MessageButtons buttons) {
  return buttons == MessageButtons::OkCancel ? Answer::Ok : Answer::Yes;
}
Answer Negative(MessageButtons buttons) {
  return buttons == MessageButtons::OkCancel ? Answer::Cancel : Answer::No;
}

}  // namespace

void TerminalPrompter::ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) {
  std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
}

Answer TerminalPrompter::Ask(const std::u16string& text, MessageButtons buttons, MessageIcon,
                             const std::u16string&) {
  if (buttons == MessageButtons::Ok) {
    ShowMessage(text, MessageIcon::None, kAppTitle);
    return Answer::Ok;
  }
  const Answer yes = Positive(buttons);
  const Answer no = Negative(buttons);
  std::fprintf(stderr, "%s", ForTerminal(text).c_str());
  if (fixedAnswer_) {
    std::fprintf(stderr, " -> %s\n", *fixedAnswer_ ? "yes" : "no");
    return *fixedAnswer_ ? yes : no;
  }
  if (!isatty(STDIN_FILENO)) {
    std::fprintf(stderr, " -> yes\n");
    return yes;
  }
  std::fprintf(stderr, " [Y/n] ");
  std::string line;
  if (!std::getline(std::cin, line))
    return yes;
  return (!line.empty() && (line[0] == 'n' || line[0] == 'N')) ? no : yes;
}

}  // namespace mok::app
