#include "batch/record_fields.h"

#include "text/text.h"

namespace mok::batch {

std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter) {
  std::vector<std::u16string> fields;
  if (delimiter.empty()) {
    fields.emplace_back(line);
    return fields;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t at = line.find(delimiter, start);
    if (at == std::u16string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, at - start));
    start = at + delimiter.size();
  }
}

int32_t CountFields(std::u16string_view line, std::u16string_view delimiter) {
  if (line.empty())
    return 0;
  if (delimiter.empty())
    return 1;
  int32_t count = 1;
  for (std::size_t at = line.find(delimiter); at != std::u16string_view::npos;
       at = line.find(delimiter, at + delimiter.size())) {
    ++count;
  }
  return count;
}

std::optional<std::u16string> FieldAt(std::u16string_view line, int32_t index) {
  const std::vector<std::u16string> fields = SplitFields(line, u",");
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size())
    return std::nullopt;
  return text::Trim(fields[static_cast<std::size_t>(index)]);
}

AddressText AddressOf(std::u16string_view line, int32_t addressField) {
  if (line.empty())
    return {{}, true};
  if (auto field = FieldAt(line, addressField))
    return {std::move(*field), true};
  return {std::u16string(line), false};
}

std::u16string CompactFields(std::u16string_view text) {
  if (text.empty())
    return {};
  const auto parts = SplitFields(text, u",");
  std::u16string result = text::Trim(parts[0]);
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::u16string part = text::Trim(parts[i]);
    if (!part.empty())
      result += u"," + part;
  }
  return result;
}

}  // namespace mok::batch
