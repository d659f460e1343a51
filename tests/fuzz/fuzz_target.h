// What the fuzz targets of tests/fuzz share. A target is one function over the input bytes,
// declared with MOK_FUZZ_TARGET(name): built for libFuzzer (MOK_LIBFUZZER, ./dev.sh fuzz) it is
// the program's LLVMFuzzerTestOneInput; built into the ordinary tests it is registered under its
// name, and the regression test feeds it every committed input. What must hold of the code's
// answers is stated with MOK_FUZZ_CHECK: a failed check is a finding like a crash.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/recording_prompter.h"
#include "text/text.h"

namespace mok::fuzz {

inline std::map<std::string, void (*)(std::string_view)>& Targets() {
  static std::map<std::string, void (*)(std::string_view)> targets;
  return targets;
}

// A failed check. Not a std::exception, so that no catch of the code's own errors in a target
// swallows it; under the fuzzer it ends the process (std::terminate) with the check's line on the
// reported stack.
struct CheckFailed {
  std::string what;
};

// The input as text: UTF-16 (little-endian code units) after a byte order mark FF FE, else UTF-8.
inline std::u16string InputText(std::string_view input) {
  if (!input.starts_with("\xFF\xFE"))
    return text::FromUtf8(input);
  std::u16string units;
  for (std::size_t i = 2; i + 1 < input.size(); i += 2)
    units += static_cast<char16_t>(static_cast<uint8_t>(input[i]) |
                                   static_cast<uint8_t>(input[i + 1]) << 8);
  return units;
}

// A path in a folder of the process that is removed when the process ends.
inline std::filesystem::path ScratchPath(const std::string& name) {
  static struct Folder {
    std::string path = std::filesystem::temp_directory_path() / "mok-fuzz-XXXXXX";
    std::error_code ignored;
    Folder() { ::mkdtemp(path.data()); }
    ~Folder() { std::filesystem::remove_all(path, ignored); }
  } folder;
  return std::filesystem::path(folder.path) / name;
}

}  // namespace mok::fuzz

#define MOK_FUZZ_CHECK(condition)                                                         \
  ((condition) ? void()                                                                   \
               : throw ::mok::fuzz::CheckFailed{__FILE__ ":" + std::to_string(__LINE__) + \
                                                ": " #condition})
#ifdef MOK_LIBFUZZER
#define MOK_FUZZ_TARGET(name)                                                         \
  static void FuzzOne(std::string_view input);                                        \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    return FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size)), 0;   \
  }                                                                                   \
  static void FuzzOne(std::string_view input)
#else
#define MOK_FUZZ_TARGET(name)                                                            \
  static void FuzzOne(std::string_view input);                                           \
  static const bool registered_##name = (::mok::fuzz::Targets()[#name] = FuzzOne, true); \
  static void FuzzOne(std::string_view input)
#endif
