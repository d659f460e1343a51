// The fold of variant spellings that the extended matching applies to both sides of a name
// comparison: ヶ ヵ が and ケ, old and popular kanji forms and their standard ones (澤 and 沢,
// 髙 and 高), and half-width katakana and their full-width forms (ｹ and ケ). The classes are
// data (data/variant-spellings.txt, compiled into the program) and are read once; every character
// folds to the first one of its class, one UTF-16 code unit to one, so positions found in folded
// text are positions in the written text.
//
//   富ヶ谷 and 富ケ谷 fold to 富ケ谷; 渡邉 and 渡邊 to 渡辺.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mok::engine {

class VariantFold {
 public:
  // The table of the program's data, read on first use.
  static const VariantFold& Table();
  // A table from text in the data file's format; `errors` gets the 1-based numbers of the lines
  // that are neither a comment nor a class (fewer than two fields, a character in two classes,
  // one outside the Basic Multilingual Plane).
  static VariantFold Parse(std::string_view utf8, std::vector<int>* errors = nullptr);

  char16_t Fold(char16_t c) const { return classOf_[c] ? classes_[classOf_[c] - 1][0] : c; }
  std::u16string Fold(std::u16string_view text) const;
  // Whether c belongs to a class (its own fold included: ケ as well as ヶ).
  bool InClass(char16_t c) const { return classOf_[c] != 0; }
  bool HasClassChar(std::u16string_view text) const;
  // Equality after the fold, ASCII letter case ignored as the database compares names.
  bool Equals(std::u16string_view a, std::u16string_view b) const;
  bool SameChar(char16_t a, char16_t b) const;
  // The other spellings of a text, every class character replaced by each member of its class,
  // at most `limit` of them (the written text is not among them).
  std::vector<std::u16string> Spellings(std::u16string_view text, std::size_t limit) const;
  std::size_t ClassCount() const { return classes_.size(); }

 private:
  VariantFold() : classOf_(0x10000, 0) {}
  // Half-width katakana fold as their full-width forms do (金ｹ崎町 and 金ケ崎町).
  void AddHalfWidthKana();
  std::vector<uint16_t> classOf_;        // per code unit: 1-based index into classes_, 0 for none
  std::vector<std::u16string> classes_;  // the members of each class, its fold first
};

}  // namespace mok::engine
