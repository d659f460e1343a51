// Helpers for the start-up tests: a temporary folder per test and CP932 file contents.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "text/text.h"

namespace mok::test {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("mok_startup_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }
  std::u16string File(const std::string& name) const { return (path_ / name).u16string(); }
  // Names of the files in the folder, for checking that nothing was left behind.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::u16string& file, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::u16string& file) {
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The CP932 bytes of a text written as UTF-16 in the test.
inline std::string Cp932(std::u16string_view text) {
  auto bytes = text::EncodeCp932(text);
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or("");
}

inline void WriteText(const std::u16string& file, std::u16string_view text) {
  WriteBytes(file, Cp932(text));
}

inline std::u16string ReadText(const std::u16string& file) {
  return text::DecodeCp932(ReadBytes(file)).value_or(u"<not CP932>");
}

inline std::string U8(std::u16string_view s) {
  return text::ToUtf8(s);
}

}  // namespace mok::test
