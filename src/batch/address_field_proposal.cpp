#include "batch/address_field_proposal.h"

#include <algorithm>

#include "batch/line_reader.h"
#include "batch/record_fields.h"
#include "batch/record_reader.h"
#include "text/text.h"

namespace mok::batch {
namespace {

bool IsKanaOrKanji(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || c == u'々' || (c >= 0x3041 && c <= 0x3096) ||
         (c >= 0x30A1 && c <= 0x30FA) || (c >= 0xFF66 && c <= 0xFF9D);
}

bool IsDigit(char16_t c) {
  const char16_t folded = text::FoldChar(c);
  return folded >= u'0' && folded <= u'9';
}

bool IsKanjiNumber(char16_t c) {
  return std::u16string_view(u"〇一二三四五六七八九十").find(c) != std::u16string_view::npos;
}

// The signs that join the numbers of an address: hyphens and dashes of every width, the long
// vowel mark written for one, and の.
bool IsNumberJoin(char16_t c) {
  return std::u16string_view(u"-‐‑‒–—―−ーｰ－の").find(c) != std::u16string_view::npos;
}

// Whether the digits at `start` (not 0) stand after a kanji or kana, one space between allowed.
bool FollowsALetter(std::u16string_view value, std::size_t start) {
  if (start == 0 || text::FoldChar(value[start]) == u'0')
    return false;
  std::size_t before = start - 1;
  if ((value[before] == u' ' || value[before] == u'\u3000') && before > 0)
    --before;
  return IsKanaOrKanji(value[before]);
}

// Whether what follows the digits at `end` makes them an address's numbers: 丁目 or 番地, or a
// join (a hyphen, の, 番) and a further number.
bool AddressNumberEnd(std::u16string_view value, std::size_t end) {
  const std::u16string_view rest = value.substr(end);
  if (rest.starts_with(u"丁目") || rest.starts_with(u"番地"))
    return true;
  if (rest.empty() || !(IsNumberJoin(rest[0]) || rest[0] == u'番'))
    return false;
  return rest.size() > 1 && IsDigit(rest[1]);
}

bool HasAddressNumbers(std::u16string_view value) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value.substr(i).starts_with(u"丁目") && i > 0 && IsKanjiNumber(value[i - 1]))
      return true;
    if (!IsDigit(value[i]) || (i > 0 && IsDigit(value[i - 1])))
      continue;
    std::size_t end = i;
    while (end < value.size() && IsDigit(value[end]))
      ++end;
    if (FollowsALetter(value, i) && AddressNumberEnd(value, end))
      return true;
  }
  return false;
}

// The field of a record, "" when the record lacks it.
std::u16string FieldOf(const std::vector<std::u16string>& record, int32_t field) {
  const auto index = static_cast<std::size_t>(field);
  return field >= 0 && index < record.size() ? record[index] : std::u16string();
}

}  // namespace

AddressSigns::AddressSigns(const PlaceNames& names) : prefectures_(names.prefectures) {
  std::erase(prefectures_, u"");
  auto add = [this](std::u16string_view name) {
    if (name.size() < 2)
      return;
    municipalities_.emplace(name);
    longestMunicipality_ = std::max(longestMunicipality_, name.size());
  };
  for (const std::u16string& name : names.municipalities) {
    add(name);
    // The county of a town or village, and the city of a ward, cut off and kept apart.
    for (const char16_t* cut : {u"郡", u"市"}) {
      const std::size_t at = name.find(cut);
      if (at != std::u16string::npos && at + 1 < name.size()) {
        add(std::u16string_view(name).substr(0, at + 1));
        add(std::u16string_view(name).substr(at + 1));
      }
    }
  }
}

bool AddressSigns::HasMunicipality(std::u16string_view value) const {
  for (std::size_t end = 1; end < value.size(); ++end) {
    if (std::u16string_view(u"市区町村郡").find(value[end]) == std::u16string_view::npos)
      continue;
    for (std::size_t length = 2; length <= std::min(longestMunicipality_, end + 1); ++length) {
      if (municipalities_.contains(std::u16string(value.substr(end + 1 - length, length))))
        return true;
    }
  }
  return false;
}

int AddressSigns::Points(std::u16string_view value) const {
  const bool prefecture =
      std::any_of(prefectures_.begin(), prefectures_.end(), [value](const std::u16string& name) {
        return value.find(name) != std::u16string_view::npos;
      });
  return (prefecture ? 1 : 0) + (HasMunicipality(value) ? 1 : 0) +
         (HasAddressNumbers(value) ? 1 : 0);
}

std::optional<InputSample> SampleInput(const std::u16string& path, int32_t startRow,
                                       std::optional<text::Encoding> encoding) {
  LineReader input;
  if (!FileExists(path) || !input.Open(path, nullptr, encoding))
    return std::nullopt;
  InputSample sample;
  sample.encoding = input.Encoding();
  for (int32_t row = 1; row < startRow; ++row) {
    const LineReader::Line line = ReadRecord(input);
    if (line.status != LineReader::Status::Ok)
      return std::nullopt;
    if (row == startRow - 1)
      sample.headings = SplitFields(line.text, u",");
  }
  while (sample.records.size() < static_cast<std::size_t>(kSampledRecords)) {
    const LineReader::Line line = ReadRecord(input);
    if (line.status != LineReader::Status::Ok)
      break;
    sample.records.push_back(SplitFields(line.text, u","));
  }
  return sample;
}

int64_t PointsOf(const InputSample& sample, const std::vector<int32_t>& fields,
                 const AddressSigns& signs) {
  int64_t points = 0;
  std::vector<std::u16string> parts(fields.size());
  for (const std::vector<std::u16string>& record : sample.records) {
    for (std::size_t i = 0; i < fields.size(); ++i)
      parts[i] = FieldOf(record, fields[i]);
    points += signs.Points(JoinAddressParts(parts));
  }
  return points;
}

std::optional<FieldProposal> ProposeAddressFields(const InputSample& sample,
                                                  const AddressSigns& signs) {
  const auto records = static_cast<int64_t>(sample.records.size());
  std::size_t width = 0;
  for (const auto& record : sample.records)
    width = std::max(width, record.size());
  // The best single field, and in how many records it shows a sign at all.
  std::optional<FieldProposal> best;
  int64_t bestHits = 0;
  for (int32_t field = 0; field < static_cast<int32_t>(width); ++field) {
    const int64_t points = PointsOf(sample, {field}, signs);
    if (points > 0 && (!best || points > best->points)) {
      best = FieldProposal{{field}, points};
      bestHits = std::count_if(
          sample.records.begin(), sample.records.end(),
          [&](const auto& record) { return signs.Points(text::Trim(FieldOf(record, field))) > 0; });
    }
  }
  if (!best || bestHits * 5 < records)
    return std::nullopt;
  // The address over two fields: the neighbour that adds half a point per record or more.
  const int32_t field = best->fields[0];
  FieldProposal proposal = *best;
  for (const std::vector<int32_t>& pair : {std::vector{field - 1, field}, {field, field + 1}}) {
    if (pair[0] < 0 || pair[1] >= static_cast<int32_t>(width))
      continue;
    const int64_t points = PointsOf(sample, pair, signs);
    if (2 * (points - best->points) >= records && points > proposal.points)
      proposal = FieldProposal{pair, points};
  }
  return proposal;
}

std::vector<std::u16string> FieldBoxTexts(const std::vector<int32_t>& fields, std::size_t boxes) {
  std::vector<std::u16string> texts(boxes);
  for (std::size_t i = 0; i < boxes && i < fields.size(); ++i)
    texts[i] = text::FromUtf8(std::to_string(fields[i] + 1));
  return texts;
}

}  // namespace mok::batch
