// A Prompter for tests: records every message and question with its buttons and icon, and answers
// questions from a script (the default answer when the script is empty is the first button: OK or
// Yes).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "startup/prompter.h"
#include "text/text.h"

namespace mok::test {

struct PromptRecord {
  std::u16string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  std::u16string title;
  bool question = false;
  std::string Utf8() const { return text::ToUtf8(text); }
};

class RecordingPrompter : public Prompter {
 public:
  void ShowMessage(const std::u16string& text, MessageIcon icon,
                   const std::u16string& title) override {
    records.push_back({text, MessageButtons::Ok, icon, title, false});
  }
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override {
    records.push_back({text, buttons, icon, title, true});
    if (!answers.empty()) {
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? Answer::Yes
                                                                                      : Answer::Ok;
  }

  // Texts of everything shown, in UTF-8, for readable test failures.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& r : records)
      out.push_back(r.Utf8());
    return out;
  }
  // Everything shown, one "title: text" line each, to compare titles and texts at once.
  std::u16string Shown() const {
    std::u16string out;
    for (const auto& r : records)
      out += r.title + u": " + r.text + u"\n";
    return out;
  }
  void Clear() { records.clear(); }

  std::vector<PromptRecord> records;
  std::deque<Answer> answers;  // scripted answers to questions, in order
};

}  // namespace mok::test
