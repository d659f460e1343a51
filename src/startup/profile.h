// The settings file: an INI text file in CP932 with [section] lines and key=value lines (a file
// another editor saved in UTF-8 is read and written in UTF-8).
// Section and key names match regardless of letter case; values are read without the blanks
// around them and cut to their first 126 bytes; lines the program does not know are kept when a
// key is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/encoding.h"

namespace mok {

// Why a settings file that exists reads as an empty one.
enum class ProfileProblem {
  None,
  Unreadable,  // it cannot be read (no permission, a folder of that name)
  NotText,     // it is neither CP932 nor UTF-8 text
};

// The value of `key` in `section` of `file`, or `defaultValue` when the file, the section or the
// key is missing, the value is empty, or the file is neither CP932 nor UTF-8 text.
std::u16string ReadProfileString(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& defaultValue);

// Whether a value written now reads back as it is: it has a CP932 form of at most 126 bytes,
// without blanks (space or tab) around it, without a pair of quotes enclosing it and without a
// NUL. Any other value would read back changed, naming another file or folder.
bool ReadsBackWhole(std::u16string_view value);

// Writes key=value into `section` of `file`: replaces the key's value, or adds the key at the end
// of its section, creating the section and the file when missing. Non-zero on success; 0 when
// the file cannot be read or written, is not valid CP932, a name or the value cannot be written
// in CP932 or holds a line break, or the value would not read back whole (see ReadsBackWhole). The
// file is rewritten through a new file in the same folder renamed over the old one, so a failed
// write leaves the old file as it was.
int32_t WriteProfileString(const std::u16string& file, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value);

// The settings file read once and kept in memory, for callers that read or write many keys.
class ProfileFile {
 public:
  // Reads `file`; a missing file is an empty profile. Returns false (and keeps an empty profile
  // that refuses to be saved) when the file exists but cannot be read or is not text; Problem()
  // then tells why.
  bool Load(const std::u16string& file);
  ProfileProblem Problem() const { return problem_; }

  // The value as ReadProfileString returns it.
  std::u16string Get(const std::u16string& section, const std::u16string& key,
                     const std::u16string& defaultValue) const;
  // Sets the value in memory; false when it cannot be stored (see WriteProfileString).
  bool Set(const std::u16string& section, const std::u16string& key, const std::u16string& value);
  // Writes the profile back to the file it was loaded from.
  bool Save() const;

 private:
  struct Line {
    std::string raw;      // the bytes of the line without its line ending
    std::u16string text;  // the decoded line
    std::string ending;   // "\r\n", "\n", "\r" or "" for the last line: a lone CR, or none
  };
  std::u16string path_;
  bool writable_ = false;
  ProfileProblem problem_ = ProfileProblem::None;
  text::Encoding encoding_ = text::Encoding::Cp932;  // of the file, and of the lines written
  std::string mark_;                                 // a UTF-8 byte-order mark before the lines
  std::string newline_ = "\r\n";
  bool endsWithNewline_ = true;
  std::vector<Line> lines_;
};

}  // namespace mok
