// A prompter for benchmarks: nothing is shown, questions take OK, and the messages are counted so
// that a benchmark can report whether its run met any.
#pragma once

#include <string>

#include "startup/prompter.h"

namespace mok::bench {

class SilentPrompter : public Prompter {
 public:
  void ShowMessage(const std::u16string&, MessageIcon, const std::u16string&) override { ++shown; }
  Answer Ask(const std::u16string&, MessageButtons, MessageIcon, const std::u16string&) override {
    return Answer::Ok;
  }
  int shown = 0;
};

}  // namespace mok::bench
