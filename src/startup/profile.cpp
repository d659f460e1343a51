// Reading and writing the settings file line by line.
//
// Lines are kept as the bytes they were read as and decoded only to find section and key lines,
// so a rewrite leaves every other line byte for byte as it was (CP932 has characters with two
// byte forms, which a decode/encode round trip would change), and each line keeps its own line
// ending. Example: writing DBDIR=D:\data into
//   ; settings            ; settings
//   [mok]           ->    [mok]
//   Delimiter=,           Delimiter=,
//                         DBDIR=D:\data
//   [CURRENT]
//                         [CURRENT]
// puts the new key after the last line of its section, before the blank line that ends it.
#include "startup/profile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <system_error>

#include "text/encoding.h"
#include "text/text.h"

namespace mok {
namespace {

namespace fs = std::filesystem;

// A value is read into a buffer of 127 bytes, so at most its first 126 bytes are used.
constexpr std::size_t kMaxValueBytes = 126;

const std::string kCrLf = "\r\n";
const std::string kLf = "\n";

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view TrimBlanks(std::u16string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b]))
    ++b;
  while (e > b && IsBlank(s[e - 1]))
    --e;
  return s.substr(b, e - b);
}

char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

// The name of a section line "[name]", or nullopt for any other line.
std::optional<std::u16string_view> SectionName(std::u16string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != u'[')
    return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.find(u']');
  if (close != std::u16string_view::npos)
    line = line.substr(0, close);
  return TrimBlanks(line);
}

struct KeyLine {
  std::u16string_view key;
  std::u16string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::u16string_view line) {
  const std::size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos)
    return std::nullopt;
  return KeyLine{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

// A value written between a pair of double or single quotation marks is read without them, as
// the platform's profile functions do (settings files written by hand quote paths with spaces).
std::u16string_view StripQuotes(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// CP932 length of a character that came from a CP932 file: ASCII and half-width katakana take
// one byte, everything else two.
std::size_t Cp932Bytes(char16_t c) {
  return (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
}

std::u16string CutToBytes(std::u16string_view value, std::size_t maxBytes) {
  std::size_t bytes = 0;
  std::size_t n = 0;
  while (n < value.size()) {
    const std::size_t b = Cp932Bytes(value[n]);
    if (bytes + b > maxBytes)
      break;  // a double-byte character is not split
    bytes += b;
    ++n;
  }
  return std::u16string(value.substr(0, n));
}

bool HasLineBreak(std::u16string_view s) {
  return s.find_first_of(u"\r\n") != std::u16string_view::npos;
}

fs::path ToPath(const std::u16string& file) {
  return fs::path(file);
}

// The encoding of a settings file: CP932 as the system writes it; a file another editor saved in
// UTF-8 (with or without its mark) is read as UTF-8 when the whole of it is valid UTF-8 and not
// CP932. nullopt when it is neither.
std::optional<text::Encoding> FileEncoding(std::string_view bytes) {
  const bool marked = bytes.starts_with(text::kUtf8Bom);
  if (marked && text::Decode(bytes.substr(text::kUtf8Bom.size()), text::Encoding::Utf8))
    return text::Encoding::Utf8Bom;
  if (text::DecodeCp932(bytes))
    return text::Encoding::Cp932;
  if (text::Decode(bytes, text::Encoding::Utf8))
    return text::Encoding::Utf8;
  return std::nullopt;
}

}  // namespace

bool ProfileFile::Load(const std::u16string& file) {
  path_ = file;
  lines_.clear();
  writable_ = false;
  problem_ = ProfileProblem::None;
  encoding_ = text::Encoding::Cp932;
  mark_.clear();
  newline_ = "\r\n";
  const fs::path path = ToPath(file);
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    writable_ = !ec;
    return !ec;
  }
  // A folder (or a device) of that name is no settings file: it reads as none and is never
  // written.
  problem_ = ProfileProblem::Unreadable;
  if (!fs::is_regular_file(path, ec))
    return false;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return false;
  problem_ = ProfileProblem::NotText;
  const auto encoding = FileEncoding(bytes);
  if (!encoding)
    return false;  // neither read nor rewritten
  encoding_ = *encoding;
  if (encoding_ == text::Encoding::Utf8Bom) {
    mark_ = text::kUtf8Bom;
    bytes.erase(0, mark_.size());
  }

  std::vector<Line> lines;
  std::size_t pos = 0;
  bool newlineChosen = false;
  while (pos < bytes.size()) {
    const std::size_t nl = bytes.find('\n', pos);
    Line line;
    if (nl == std::string::npos) {
      line.raw = bytes.substr(pos);
      pos = bytes.size();
      // A CR at the very end is the line's ending: once a line follows it, it is the CR of a CR LF
      // and no longer part of the text (a file ending in "[MOK\r" would gain a section).
      if (line.raw.ends_with('\r')) {
        line.raw.pop_back();
        line.ending = "\r";
      }
    } else {
      const bool crlf = nl > pos && bytes[nl - 1] == '\r';
      line.raw = bytes.substr(pos, (crlf ? nl - 1 : nl) - pos);
      line.ending = crlf ? kCrLf : kLf;
      if (!newlineChosen) {
        newline_ = line.ending;  // new lines follow the file's own line ending
        newlineChosen = true;
      }
      pos = nl + 1;
    }
    line.text = *text::Decode(line.raw, encoding_);  // the whole file decodes
    lines.push_back(std::move(line));
  }
  lines_ = std::move(lines);
  writable_ = true;
  problem_ = ProfileProblem::None;
  return true;
}

std::u16string ProfileFile::Get(const std::u16string& section, const std::u16string& key,
                                const std::u16string& defaultValue) const {
  bool inSection = false;
  for (const Line& line : lines_) {
    if (const auto name = SectionName(line.text)) {
      if (inSection)
        break;  // the first section of that name is the one read
      inSection = EqualsNoCase(*name, section);
      continue;
    }
    if (!inSection)
      continue;
    const auto kv = ParseKeyLine(line.text);
    if (!kv || !EqualsNoCase(kv->key, key))
      continue;
    std::u16string_view value = StripQuotes(kv->value);
    value = value.substr(0, value.find(u'\0'));
    const std::u16string result = text::TrimAscii(CutToBytes(value, kMaxValueBytes));
    return result.empty() ? defaultValue : result;
  }
  return defaultValue;
}

bool ReadsBackWhole(std::u16string_view value) {
  // Get reads a value without the blanks around it, without a pair of enclosing quotes and only
  // up to a NUL.
  const auto raw = text::EncodeCp932(value);
  return raw && raw->size() <= kMaxValueBytes && TrimBlanks(value) == value &&
         StripQuotes(value) == value && value.find(u'\0') == std::u16string_view::npos;
}

bool ProfileFile::Set(const std::u16string& section, const std::u16string& key,
                      const std::u16string& value) {
  if (!writable_ || !ReadsBackWhole(value))
    return false;
  // Names and values that would change the structure of the file are refused.
  if (TrimBlanks(key).empty() || key.find(u'=') != std::u16string::npos || HasLineBreak(key) ||
      section.find(u']') != std::u16string::npos || HasLineBreak(section) || HasLineBreak(value))
    return false;
  const std::u16string text = key + u"=" + value;
  auto raw = text::Encode(text, encoding_);
  if (!raw || !text::Encode(section, encoding_))
    return false;
  Line newLine{std::move(*raw), text, newline_};

  // Locate the section: its header and the line after its last non-blank line.
  std::optional<std::size_t> header;
  std::size_t insertAt = 0;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i].text)) {
      if (header)
        break;
      if (EqualsNoCase(*name, section)) {
        header = i;
        insertAt = i + 1;
      }
      continue;
    }
    if (!header)
      continue;
    if (const auto kv = ParseKeyLine(lines_[i].text); kv && EqualsNoCase(kv->key, key)) {
      newLine.ending = lines_[i].ending;
      lines_[i] = std::move(newLine);
      return true;
    }
    if (!TrimBlanks(lines_[i].text).empty())
      insertAt = i + 1;
  }

  auto insert = [this](std::size_t at, Line line) {
    // The line before the new one may have been the last line of a file without a final newline.
    if (at > 0 && lines_[at - 1].ending.empty())
      lines_[at - 1].ending = newline_;
    if (at > 0 && lines_[at - 1].ending == "\r")
      lines_[at - 1].ending = kCrLf;
    if (line.ending.empty())
      line.ending = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  };
  if (!header) {
    const std::u16string headerText = u"[" + section + u"]";
    insert(lines_.size(), Line{*text::Encode(headerText, encoding_), headerText, newline_});
    insert(lines_.size(), std::move(newLine));
    return true;
  }
  insert(insertAt, std::move(newLine));
  return true;
}

bool ProfileFile::Save() const {
  if (!writable_)
    return false;
  std::error_code ec;
  fs::path target = ToPath(path_);
  // Keep a symbolic link pointing at the file it names.
  if (fs::is_symlink(target, ec)) {
    target = fs::canonical(target, ec);
    if (ec)
      return false;
  }
  std::string bytes = mark_;
  for (const Line& line : lines_)
    bytes += line.raw + line.ending;

  // Write a new file beside the old one and rename it over the old one: an interrupted or failed
  // write never leaves a half-written settings file.
  std::random_device random;
  fs::path temp;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = target;
    temp += ".tmp" + std::to_string(random() % 1000000);
    if (!fs::exists(temp, ec))
      break;
  }
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
      return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return false;
    }
  }
  if (fs::exists(target, ec)) {
    const auto perms = fs::status(target, ec).permissions();
    if (!ec)
      fs::permissions(temp, perms, ec);
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

std::u16string ReadProfileString(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& defaultValue) {
  ProfileFile profile;
  if (!profile.Load(file))
    return defaultValue;
  return profile.Get(section, key, defaultValue);
}

int32_t WriteProfileString(const std::u16string& file, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value) {
  ProfileFile profile;
  if (!profile.Load(file) || !profile.Set(section, key, value) || !profile.Save())
    return 0;
  return 1;
}

}  // namespace mok
