#include "terminal_text.h"

#include <cstdio>

#include "text/text.h"

namespace mok::app {

std::string ForTerminal(std::u16string_view text) {
  std::u16string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
      continue;  // CR LF ends a line of a message; a terminal wants LF
    if (c == u'\n' || c == u'\t' || (c >= 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F))) {
      shown += c;
    } else if (c < 0x20 || c == 0x7F) {
      // Caret notation, as cat -v shows them: ESC is ^[, DEL is ^?.
      shown += u'^';
      shown += static_cast<char16_t>(c ^ 0x40);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "<%02X>", static_cast<unsigned>(c));
      shown += text::FromUtf8(code);
    }
  }
  return text::ToUtf8(shown);
}

}  // namespace mok::app
