// What every fuzz target of tests/fuzz shares. A target is one function over the input bytes,
// declared with MOK_FUZZ_TARGET(name): built for libFuzzer (MOK_LIBFUZZER, ./dev.sh fuzz) it is
// the program's LLVMFuzzerTestOneInput; built into the ordinary tests it is registered under its
// name, and the regression test feeds it every committed input.
//
// A target states what must hold of the code's answers with MOK_FUZZ_CHECK: a failed check aborts
// the fuzzer (a finding like a crash) and fails the regression test.
#pragma once

#include <stdlib.h>
#ifdef MOK_LIBFUZZER
#include <sanitizer/common_interface_defs.h>
#endif

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

#include "startup/prompter.h"
#include "text/text.h"

namespace mok::fuzz {

using Entry = void (*)(std::string_view input);

inline std::map<std::string, Entry>& Targets() {
  static std::map<std::string, Entry> targets;
  return targets;
}

struct Registration {
  Registration(const char* name, Entry entry) { Targets()[name] = entry; }
};

// A failed check in the ordinary tests: not a std::exception, so no catch of the code's own
// errors in a target swallows it.
struct CheckFailed {
  std::string what;
};

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  const std::string message = std::string(file) + ":" + std::to_string(line) + ": " + what;
#ifdef MOK_LIBFUZZER
  // The fuzzer runs the target with its standard error closed; the sanitizers' report still
  // reaches the log.
  __sanitizer_report_error_summary(("check failed: " + message).c_str());
  std::abort();
#else
  throw CheckFailed{message};
#endif
}

// The input as text: UTF-16 (little-endian code units) after a byte order mark FF FE, else UTF-8.
inline std::u16string InputText(std::string_view input) {
  if (!input.starts_with("\xFF\xFE"))
    return text::FromUtf8(input);
  std::u16string units;
  for (std::size_t i = 2; i + 1 < input.size(); i += 2)
    units += static_cast<char16_t>(static_cast<unsigned char>(input[i]) |
                                   static_cast<unsigned char>(input[i + 1]) << 8);
  return units;
}

// A folder of the process in the temporary folder, removed when the process ends.
inline const std::filesystem::path& ScratchFolder() {
  static const struct Folder {
    std::filesystem::path path;
    Folder() {
      std::string pattern = (std::filesystem::temp_directory_path() / "mok-fuzz-XXXXXX").string();
      path = ::mkdtemp(pattern.data());
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  return folder.path;
}

// Writes `bytes` to the file `name` of the scratch folder and gives its path.
inline std::filesystem::path ScratchFile(const std::string& name, std::string_view bytes) {
  const std::filesystem::path path = ScratchFolder() / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
  return path;
}

// Answers every question with Cancel and counts the messages.
struct CountingPrompter : Prompter {
  int messages = 0;
  void ShowMessage(const std::u16string&, MessageIcon, const std::u16string&) override {
    ++messages;
  }
  Answer Ask(const std::u16string&, MessageButtons, MessageIcon, const std::u16string&) override {
    ++messages;
    return Answer::Cancel;
  }
};

}  // namespace mok::fuzz

#define MOK_FUZZ_CHECK(condition) \
  ((condition) ? void() : ::mok::fuzz::Fail(#condition, __FILE__, __LINE__))

#ifdef MOK_LIBFUZZER
#define MOK_FUZZ_TARGET(name)                                                         \
  static void FuzzOne(std::string_view input);                                        \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));             \
    return 0;                                                                         \
  }                                                                                   \
  static void FuzzOne(std::string_view input)
#else
#define MOK_FUZZ_TARGET(name)                                                 \
  static void FuzzOne(std::string_view input);                                \
  static const ::mok::fuzz::Registration registration_##name(#name, FuzzOne); \
  static void FuzzOne(std::string_view input)
#endif
