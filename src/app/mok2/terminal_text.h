// Text of the core shown on a terminal: UTF-8, LF between lines, and no control character of its
// own. Addresses come from the input file; an escape sequence written into one must show as text
// ("^[]0;x^G") instead of acting on the terminal (setting the window title, clearing the screen).
#pragma once

#include <string>
#include <string_view>

namespace mok::app {

std::string ForTerminal(std::u16string_view text);

}  // namespace mok::app
