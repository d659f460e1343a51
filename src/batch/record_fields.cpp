#include "batch/record_fields.h"

#include "text/text.h"

namespace mok::batch {
namespace {

// Calls onField(raw, value) for every field of `line`: the field as written and its value.
template <typename OnField>
void ScanFields(std::u16string_view line, std::u16string_view delimiter, OnField onField) {
  if (delimiter.empty()) {
    onField(line, std::u16string(line));
    return;
  }
  std::size_t start = 0;
  while (true) {
    std::u16string value;
    std::size_t i = start;
    if (i < line.size() && line[i] == u'"') {
      // A quoted field: up to the quote that is not doubled (or the end of the record).
      for (++i; i < line.size(); ++i) {
        if (line[i] != u'"') {
          value += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == u'"') {
          value += u'"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    // Text after a closing quote belongs to the field as it is, as Excel reads it.
    const std::size_t at = line.find(delimiter, i);
    const std::size_t end = at == std::u16string_view::npos ? line.size() : at;
    value.append(line.substr(i, end - i));
    onField(line.substr(start, end - start), std::move(value));
    if (at == std::u16string_view::npos)
      return;
    start = at + delimiter.size();
  }
}

template <typename Char>
bool EndsOpen(std::basic_string_view<Char> line, bool open) {
  bool atStart = true;  // at the first character of a field
  for (std::size_t i = 0; i < line.size(); ++i) {
    const Char c = line[i];
    if (open) {
      if (c == Char('"')) {
        if (i + 1 < line.size() && line[i + 1] == Char('"')) {
          ++i;
        } else {
          open = false;
          atStart = false;
        }
      }
    } else if (c == Char(',')) {
      atStart = true;
    } else {
      open = c == Char('"') && atStart;
      atStart = false;
    }
  }
  return open;
}

// Letters and digits, half- or full-width: two of them side by side would read as one word.
bool IsWordCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         (c >= u'０' && c <= u'９') || (c >= u'Ａ' && c <= u'Ｚ') || (c >= u'ａ' && c <= u'ｚ');
}

}  // namespace

std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter) {
  std::vector<std::u16string> fields;
  ScanFields(line, delimiter, [&](std::u16string_view, std::u16string value) {
    fields.push_back(std::move(value));
  });
  return fields;
}

std::vector<std::u16string_view> SplitRawFields(std::u16string_view line,
                                                std::u16string_view delimiter) {
  std::vector<std::u16string_view> fields;
  ScanFields(line, delimiter,
             [&](std::u16string_view raw, const std::u16string&) { fields.push_back(raw); });
  return fields;
}

int32_t CountFields(std::u16string_view line, std::u16string_view delimiter) {
  if (line.empty())
    return 0;
  int32_t count = 0;
  ScanFields(line, delimiter, [&](std::u16string_view, const std::u16string&) { ++count; });
  return count;
}

bool EndsInsideQuotes(std::string_view line, bool open) {
  // A quote or a comma is never part of a CP932 or UTF-8 multibyte character, so the bytes tell.
  return EndsOpen(line, open);
}

std::u16string QuoteField(std::u16string_view value) {
  if (value.find_first_of(u",\"\r\n") == std::u16string_view::npos)
    return std::u16string(value);
  std::u16string quoted = u"\"";
  for (const char16_t c : value) {
    quoted += c;
    if (c == u'"')
      quoted += u'"';
  }
  return quoted + u"\"";
}

std::optional<std::u16string> FieldAt(std::u16string_view line, int32_t index) {
  const std::vector<std::u16string> fields = SplitFields(line, u",");
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size())
    return std::nullopt;
  return text::Trim(fields[static_cast<std::size_t>(index)]);
}

AddressText AddressOf(std::u16string_view line, const std::vector<int32_t>& addressFields) {
  if (line.empty())
    return {{}, true};
  const std::vector<std::u16string> fields = SplitFields(line, u",");
  std::vector<std::u16string> parts;
  for (const int32_t index : addressFields) {
    if (index < 0 || static_cast<std::size_t>(index) >= fields.size())
      return {std::u16string(line), false};
    // A line break inside a field (Alt+Enter in a spreadsheet cell) joins like two fields.
    const std::u16string& field = fields[static_cast<std::size_t>(index)];
    for (std::size_t start = 0;;) {
      const std::size_t end = field.find_first_of(u"\r\n", start);
      parts.push_back(field.substr(start, end - start));
      if (end == std::u16string::npos)
        break;
      start = end + 1;
    }
  }
  return {JoinAddressParts(parts), true};
}

std::u16string JoinAddressParts(const std::vector<std::u16string>& parts) {
  std::u16string joined;
  for (const std::u16string& part : parts) {
    const std::u16string trimmed = text::Trim(part);
    if (trimmed.empty())
      continue;
    if (!joined.empty() && IsWordCharacter(joined.back()) && IsWordCharacter(trimmed.front()))
      joined += u' ';
    joined += trimmed;
  }
  return joined;
}

std::u16string CompactFields(std::u16string_view text) {
  if (text.empty())
    return {};
  std::u16string result;
  std::size_t start = 0;
  for (bool first = true;; first = false) {
    const std::size_t comma = text.find(u',', start);
    const std::u16string part = text::Trim(text.substr(start, comma - start));
    if (first || !part.empty())
      result += (first ? u"" : u",") + part;
    if (comma == std::u16string_view::npos)
      return result;
    start = comma + 1;
  }
}

}  // namespace mok::batch
