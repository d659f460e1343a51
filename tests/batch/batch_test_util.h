// Helpers of the batch tests: a temporary folder per test, files written and read as bytes, and
// readable renderings of UTF-16 text for failure messages.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "text/text.h"

namespace mok::batch::test {

// A fresh folder removed again at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "mok-batch-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The path of `name` inside the folder as the batch code takes it.
  std::u16string U(const std::string& name) const {
    return text::FromUtf8((path_ / name).string());
  }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// UTF-8 text -> CP932 bytes (the test's own literals are always encodable).
inline std::string Sjis(const std::string& utf8) {
  return text::EncodeCp932(text::FromUtf8(utf8)).value();
}

// UTF-16 -> UTF-8 with CR and LF made visible.
inline std::string Show(const std::u16string& s) {
  std::string out;
  for (char c : text::ToUtf8(s)) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace mok::batch::test
