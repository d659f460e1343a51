// Every message box and question the system shows goes through a Prompter, so that the core
// needs no window toolkit: the desktop program shows them with Qt, the command-line tool on the
// terminal, and the tests record them and answer scripted questions.
#pragma once

#include <string>

namespace mok {

// The application title every message box carries unless a caller names another.
inline constexpr char16_t kAppTitle[] = u"MOK住所変換";

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A message with an OK button.
  virtual void ShowMessage(const std::u16string& text, MessageIcon icon = MessageIcon::None,
                           const std::u16string& title = kAppTitle) = 0;
  // A question with the given buttons; returns the button pressed.
  virtual Answer Ask(const std::u16string& text, MessageButtons buttons,
                     MessageIcon icon = MessageIcon::None,
                     const std::u16string& title = kAppTitle) = 0;
};

}  // namespace mok
