// Helpers of the batch tests: a temporary folder per test, files written and read as bytes, and
// UTF-16 text made readable for failure messages.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "../support/test_database_builder.h"
#include "text/text.h"

namespace mok::batch::test {

using TempDir = mok::test::TempFolder;

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// UTF-8 text -> CP932 bytes (the tests' own literals are always encodable).
inline std::string Sjis(const std::string& utf8) {
  return text::EncodeCp932(text::FromUtf8(utf8)).value();
}

// UTF-16 -> UTF-8 with CR and LF made visible.
inline std::string Show(const std::u16string& s) {
  std::string out;
  for (char c : text::ToUtf8(s))
    out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

}  // namespace mok::batch::test
