// A folder of its own under the system's temporary folder, removed with everything in it, and the
// CP932 files the tests write into it and read back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "text/text.h"

namespace mok::test {

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("mok-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The folder, and the path of `name` in it, as the program's code takes paths.
  std::u16string Text() const { return text::FromUtf8(path_.string()); }
  std::u16string File(const std::string& name) const {
    return text::FromUtf8((path_ / name).string());
  }
  // How many entries the folder holds (a leftover temporary file shows here).
  std::ptrdiff_t Count() const {
    return std::distance(std::filesystem::directory_iterator(path_), {});
  }

 private:
  std::filesystem::path path_;
};

// A test with a temporary folder of its own and the path of a file "mok.ini" in it.
class TempFolderTest : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
};

inline void WriteBytes(const std::u16string& file, const std::string& bytes) {
  std::ofstream(std::filesystem::path(file), std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::u16string& file) {
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The CP932 bytes of a text; fails the test when the text has no CP932 form.
inline std::string Cp932(std::u16string_view text) {
  std::string error;
  const auto bytes = text::EncodeCp932(text, &error);
  EXPECT_TRUE(bytes.has_value()) << error;
  return bytes.value_or("");
}

inline void WriteCp932(const std::u16string& file, std::u16string_view text) {
  WriteBytes(file, Cp932(text));
}

inline std::u16string ReadCp932(const std::u16string& file) {
  return text::DecodeCp932(ReadBytes(file)).value_or(u"<not CP932>");
}

}  // namespace mok::test
