// Splitting the text after the municipality into town name, numbers and remainder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "support/recording_prompter.h"
#include "text/text.h"

namespace mok::engine {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

struct SplitCase {
  std::u16string text;
  std::u16string fixedTerm;  // a fixed term of code 3, or ""
  std::u16string town;
  std::vector<std::u16string> parts;
  std::u16string remainder;
  bool chome;
  std::u16string chomeSuffix;
};

class TownSplitTest : public ::testing::Test {
 protected:
  Settings settings;
  test::RecordingPrompter prompter;
  db::AddressDatabase database{settings, prompter};
  Recognizer recognizer{settings, database};

  void Check(const SplitCase& c) {
    settings.fixedTerms.clear();
    if (!c.fixedTerm.empty())
      settings.fixedTerms.push_back({3, c.fixedTerm});
    recognizer.Fields().Clear();
    std::u16string text = c.text;
    TownPartList parts;
    std::u16string remainder = u"stale";
    EXPECT_TRUE(recognizer.SplitTownAndNumbers(text, parts, remainder));
    std::vector<std::u16string> got;
    for (int i = 1; i <= kMaxTownParts && !parts[i].empty(); ++i)
      got.push_back(parts[i]);
    std::vector<std::string> want8, got8;
    for (const auto& p : c.parts)
      want8.push_back(U8(p));
    for (const auto& p : got)
      got8.push_back(U8(p));
    const AddressResult& r = recognizer.Result();
    EXPECT_EQ(U8(text), U8(c.town)) << U8(c.text);
    EXPECT_EQ(got8, want8) << U8(c.text);
    EXPECT_EQ(U8(remainder), U8(c.remainder)) << U8(c.text);
    EXPECT_EQ(r.ChomeInOaza, c.chome) << U8(c.text);
    EXPECT_EQ(U8(r.ChomeSuffix), U8(c.chomeSuffix)) << U8(c.text);
  }
};

TEST_F(TownSplitTest, WorkedExamples) {
  const SplitCase cases[] = {
      {u"丸の内1丁目2番3号", u"", u"丸の内", {u"１", u"２", u"３"}, u"号", true, u"丁目"},
      {u"丸の内1丁目2番3号ビル", u"", u"丸の内", {u"１", u"２", u"３"}, u"号ビル", true, u"丁目"},
      {u"丸の内1丁目2番", u"", u"丸の内", {u"１", u"２"}, u"", true, u"丁目"},
      {u"大字甲123番地4", u"", u"大字甲", {u"１２３", u"４"}, u"", false, u""},
      {u"甲1-2-3", u"", u"甲", {u"１", u"２", u"３"}, u"", false, u""},
      {u"一番町3番地", u"", u"一番町", {u"３"}, u"", false, u""},
      {u"一番町", u"", u"", {u"１"}, u"", false, u""},
      {u"一番町", u"一番町", u"一番町", {}, u"", false, u""},
      {u"大字甲5", u"", u"大字甲", {u"５"}, u"", false, u""},
      {u"3番地", u"", u"", {u"３"}, u"", false, u""},
      {u"桜台", u"", u"桜台", {}, u"", false, u""},
  };
  for (const auto& c : cases)
    Check(c);
}

TEST_F(TownSplitTest, EdgeCases) {
  const SplitCase cases[] = {
      // A numeral opening the town name belongs to it when a later number starts the block.
      {u"五反田1丁目", u"", u"五反田", {u"１"}, u"", true, u"丁目"},
      // A kana 丁目 starts the block but does not make the first number the chome.
      {u"甲1ちょうめ2", u"", u"甲", {u"１", u"２"}, u"", false, u""},
      // A malformed numeral is stored as -1 in full-width form.
      {u"甲十12番", u"", u"甲", {u"－１"}, u"", false, u""},
      {u"甲1-2-3-4", u"", u"甲", {u"１", u"２", u"３", u"４"}, u"", false, u""},
      // The list ends at the first joint that is neither a level-2 word nor a separator.
      {u"甲1番2号3", u"", u"甲", {u"１", u"２"}, u"号３", false, u""},
      // Kanji numerals, full-width digits and separators of every kind.
      {u"上用賀六丁目一番一号", u"", u"上用賀", {u"６", u"１", u"１"}, u"号", true, u"丁目"},
      {u"中央３－２７－３", u"", u"中央", {u"３", u"２７", u"３"}, u"", false, u""},
      {u"本町1丁目17の17", u"", u"本町", {u"１", u"１７", u"１７"}, u"", true, u"丁目"},
      {u"元町千二十三番地", u"", u"元町", {u"１０２３"}, u"", false, u""},
      {u"丸の内1丁目東2", u"", u"丸の内", {u"１", u"２"}, u"", true, u"丁目東"},
      // The remainder keeps the building name in full-width form.
      {u"和田3丁目28番11号 ﾒｿﾞﾝ 206",
       u"",
       u"和田",
       {u"３", u"２８", u"１１"},
       u"号　メゾン　２０６",
       true,
       u"丁目"},
      // A first number at the very end of the text starts no block.
      {u"甲12", u"", u"甲", {u"１２"}, u"", false, u""},
      // A fixed term must match the start exactly; elsewhere it is ignored.
      {u"二番町", u"一番町", u"", {u"２"}, u"", false, u""},
      {u"一番町5-6", u"一番町", u"一番町", {u"５", u"６"}, u"", false, u""},
  };
  for (const auto& c : cases)
    Check(c);
}

TEST_F(TownSplitTest, RemainingFieldsAreAppendedUpToAnEmptyOne) {
  recognizer.Fields().Split(u"x,2番3,,ビル", u",");
  recognizer.Fields().NextAddressField();  // the first field is the caller's
  std::u16string text = u"甲1-";
  TownPartList parts;
  std::u16string remainder;
  recognizer.SplitTownAndNumbers(text, parts, remainder);
  EXPECT_EQ(U8(text), "甲");
  EXPECT_EQ(U8(parts[1]), "１");
  EXPECT_EQ(U8(parts[2]), "２");
  EXPECT_EQ(U8(parts[3]), "３");
  EXPECT_EQ(U8(remainder), "");  // ビル lies after the empty field and is not taken
}

}  // namespace
}  // namespace mok::engine
