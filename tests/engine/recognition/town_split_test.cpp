// Splitting the text after the municipality into town name, numbers and remainder.
#include "engine/recognition/town_split.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

// "town|numbers|remainder", then "|" and the 丁目 text when the first number is the chome.
std::string Show(const TownSplit& s) {
  std::string numbers;
  for (std::size_t i = 0; i < s.numbers.size() && !s.numbers[i].empty(); ++i)
    numbers += (i ? " " : "") + U8(s.numbers[i]);
  std::string shown = U8(s.townName) + "|" + numbers + "|" + U8(s.remainder);
  return s.chomeInOaza ? shown + "|" + U8(s.chomeSuffix) : shown;
}

TEST(TownSplit, TownNameNumbersAndRemainder) {
  // 一番町 is listed as a town name that begins with numerals (a fixed term of code 3).
  const std::vector<FixedTerm> terms = {{3, u"一番町"}};
  const std::pair<std::u16string, std::string> cases[] = {
      {u"丸の内1丁目2番3号", "丸の内|１ ２ ３|号|丁目"},
      {u"丸の内1丁目2番3号ビル", "丸の内|１ ２ ３|号ビル|丁目"},
      {u"丸の内1丁目2番", "丸の内|１ ２||丁目"},
      {u"大字甲123番地4", "大字甲|１２３ ４|"},
      {u"甲1-2-3", "甲|１ ２ ３|"},
      {u"一番町3番地", "一番町|３|"},
      // A numeral opens the town and no later number starts the block.
      {u"二番町", "|２|"},
      {u"一番町", "一番町||"},
      {u"一番町5-6", "一番町|５ ６|"},
      {u"大字甲5", "大字甲|５|"},
      {u"3番地", "|３|"},
      {u"桜台", "桜台||"},
      {u"五反田1丁目", "五反田|１||丁目"},  // a leading numeral belongs to the town name
      {u"甲1ちょうめ2", "甲|１ ２|"},  // a kana 丁目 starts the block, the number is no chome
      {u"甲十12番", "甲|－１|"},       // a malformed numeral
      {u"甲1-2-3-4", "甲|１ ２ ３ ４|"},
      {u"甲1番2号3", "甲|１ ２|号３"},  // 号 is no level-2 word: the list ends there
      {u"上用賀六丁目一番一号", "上用賀|６ １ １|号|丁目"},
      {u"中央３－２７－３", "中央|３ ２７ ３|"},
      {u"本町1丁目17の17", "本町|１ １７ １７||丁目"},
      {u"元町千二十三番地", "元町|１０２３|"},
      {u"丸の内1丁目東2", "丸の内|１ ２||丁目東"},
      {u"和田3丁目28番11号 ﾒｿﾞﾝ 206", "和田|３ ２８ １１|号　メゾン　２０６|丁目"},
      {u"甲12", "甲|１２|"}};  // a number at the very end starts no block but is kept
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Show(SplitTownAndNumbers(text, terms)), expected) << U8(text);
}

}  // namespace
}  // namespace mok::engine
