#include "engine/recognition/variant_fold.h"

#include "text/nocase.h"
#include "text/text.h"

namespace mok::engine {

// The text of data/variant-spellings.txt, compiled in by the build.
extern const char kVariantSpellings[];

namespace {

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos)
      return pieces;
    start = end + 1;
  }
}

bool HasSurrogate(std::u16string_view text) {
  for (char16_t c : text) {
    if (c >= 0xD800 && c <= 0xDFFF)
      return true;
  }
  return false;
}

}  // namespace

const VariantFold& VariantFold::Table() {
  static const VariantFold table = Parse(kVariantSpellings);
  return table;
}

VariantFold VariantFold::Parse(std::string_view utf8, std::vector<int>* errors) {
  VariantFold fold;
  int number = 0;
  for (std::string_view line : SplitAt(utf8, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty() || line.front() == '#')
      continue;
    // The class's fold, its other spellings and the source of the pairs.
    const std::vector<std::string_view> fields = SplitAt(line, '\t');
    const std::u16string members =
        fields.size() >= 3 ? text::FromUtf8(fields[0]) + text::FromUtf8(fields[1]) : u"";
    bool valid = fields.size() >= 3 && members.size() >= 2 && !fields[2].empty() &&
                 text::FromUtf8(fields[0]).size() == 1 && !HasSurrogate(members);
    for (std::size_t i = 0; valid && i < members.size(); ++i)
      valid = fold.classOf_[members[i]] == 0 && members.find(members[i]) == i;
    if (!valid) {
      if (errors)
        errors->push_back(number);
      continue;
    }
    fold.classes_.push_back(members);
    for (char16_t c : members)
      fold.classOf_[c] = static_cast<uint16_t>(fold.classes_.size());
  }
  fold.AddHalfWidthKana();
  return fold;
}

void VariantFold::AddHalfWidthKana() {
  // ｦ to ﾝ; the voicing marks join the kana before them and fold to nothing of one code unit.
  for (char16_t c = u'\uFF66'; c <= u'\uFF9D'; ++c) {
    const std::u16string wide = text::ToWide(std::u16string(1, c));
    if (wide.size() != 1 || classOf_[c] != 0)
      continue;
    if (classOf_[wide[0]] == 0) {
      // The full-width kana stays outside the class: alone it has no other spelling.
      classes_.push_back(wide);
      classOf_[c] = static_cast<uint16_t>(classes_.size());
    } else {
      classOf_[c] = classOf_[wide[0]];
    }
  }
}

std::u16string VariantFold::Fold(std::u16string_view text) const {
  std::u16string folded(text);
  for (char16_t& c : folded)
    c = Fold(c);
  return folded;
}

bool VariantFold::HasClassChar(std::u16string_view text) const {
  for (char16_t c : text) {
    if (InClass(c))
      return true;
  }
  return false;
}

bool VariantFold::SameChar(char16_t a, char16_t b) const {
  if (a == b)
    return true;
  if (a < 0x80 && b < 0x80)
    return text::AsciiUpper(a) == text::AsciiUpper(b);
  return Fold(a) == Fold(b);
}

bool VariantFold::Equals(std::u16string_view a, std::u16string_view b) const {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!SameChar(a[i], b[i]))
      return false;
  }
  return true;
}

std::vector<std::u16string> VariantFold::Spellings(std::u16string_view text,
                                                   std::size_t limit) const {
  // Every spelling found so far is varied at each class character in turn, left to right.
  std::vector<std::u16string> all{std::u16string(text)};
  for (std::size_t i = 0; i < text.size() && all.size() <= limit; ++i) {
    if (!InClass(text[i]))
      continue;
    const std::u16string& members = classes_[classOf_[text[i]] - 1];
    const std::size_t known = all.size();
    for (std::size_t k = 0; k < known && all.size() <= limit; ++k) {
      for (char16_t member : members) {
        if (member == text[i] || all.size() > limit)
          continue;
        std::u16string spelling = all[k];
        spelling[i] = member;
        all.push_back(std::move(spelling));
      }
    }
  }
  all.erase(all.begin());
  if (all.size() > limit)
    all.resize(limit);
  return all;
}

}  // namespace mok::engine
