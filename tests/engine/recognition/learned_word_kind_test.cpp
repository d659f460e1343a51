// The kind a corrected word is learned as: the part of the uncorrected address it overlaps.
#include "engine/recognition/learned_word_kind.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(LearnedWordKind, IsThePartTheWordOverlaps) {
  using enum WordKind;
  const AddressParts shibuya{u"東京都", u"渋谷区", u"", u"はち山", {}, u"", false, u"", false};
  const AddressParts sapporo{u"", u"札幌市", u"中央区", u"大通西", {}, u"", false, u"", false};
  // The split found no municipality.
  const AddressParts noCity{u"東京都", u"", u"", u"", {}, u"", false, u"", false};
  const struct {
    const AddressParts& parts;
    std::u16string word;
    std::optional<WordKind> kind;
  } cases[] = {
      {shibuya, u"はち山", Town},
      {shibuya, u"ハチ山", Town},   // kana type ignored
      {shibuya, u"はち山1", Town},  // the word holds the part
      {shibuya, u"渋谷", City},
      {shibuya, u"東京", Prefecture},
      {shibuya, u"東京都渋谷区", Prefecture},  // the first part it overlaps decides
      {shibuya, u"大阪", std::nullopt},
      {shibuya, u"", std::nullopt},  // an empty word would apply to every text
      {sapporo, u"中央区大通", std::nullopt},
      {sapporo, u"市中央", City},  // the ward belongs to the municipality
      {noCity, u"しぶや", City},   // no municipality found: what is not the prefecture is
  };
  for (const auto& c : cases)
    EXPECT_EQ(LearnedWordKind(c.parts, c.word), c.kind) << U8(c.word);
}

}  // namespace
}  // namespace mok::engine
