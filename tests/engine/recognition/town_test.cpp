// The town steps: splitting the text after the municipality into town name, numbers and
// remainder, and matching the town name against the candidate rows of the municipality (the
// forms a town may be written in, a name alone must be unique, learned town words).
#include <gtest/gtest.h>

#include "engine/recognition/town_match.h"
#include "engine/recognition/town_split.h"
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
  if (s.unreadableNumber)
    shown += "!";
  return s.chomeInOaza ? shown + "|" + U8(s.chomeSuffix) : shown;
}

TEST(TownSplit, TownNameNumbersAndRemainder) {
  // 一番町 is listed as a town name that begins with numerals (a fixed term of code 3); 二番町
  // is not: its numeral opens the town text and no later number starts the block. A leading
  // numeral belongs to the town name (五反田). A kana 丁目 starts the block but does not make the
  // number the chome. 「十12」 is a malformed numeral. 号 is no level-2 word: the numbers end
  // there. A number at the very end starts no block but is kept.
  const std::vector<FixedTerm> terms = {{3, u"一番町"}};
  const std::pair<std::u16string, std::string> cases[] = {
      {u"丸の内1丁目2番3号ビル", "丸の内|１ ２ ３|号ビル|丁目"},
      {u"丸の内1丁目2番", "丸の内|１ ２||丁目"},
      {u"大字甲123番地4", "大字甲|１２３ ４|"},
      {u"一番町3番地", "一番町|３|"},
      {u"一番町", "一番町||"},
      {u"二番町", "|２|町"},
      {u"3番地", "|３|"},
      {u"桜台", "桜台||"},
      {u"五反田1丁目", "五反田|１||丁目"},
      {u"甲1ちょうめ2", "甲|１ ２|"},
      {u"甲十12番", "甲|十１２|!"},
      {u"甲2000000丁目1", "甲|２００００００ １||丁目"},
      {u"甲1-2-3-4", "甲|１ ２ ３ ４|"},
      {u"甲1番2号3", "甲|１ ２|号3"},
      {u"上用賀六丁目一番一号", "上用賀|６ １ １|号|丁目"},
      {u"中央３－２７－３", "中央|３ ２７ ３|"},
      {u"本町1丁目17の17", "本町|１ １７ １７||丁目"},
      {u"元町千二十三番地", "元町|１０２３|"},
      {u"丸の内1丁目東2", "丸の内|１ ２||丁目東"},
      {u"和田3丁目28番11号 ﾒｿﾞﾝ 206", "和田|３ ２８ １１|号 ﾒｿﾞﾝ 206|丁目"},
      {u"甲12", "甲|１２|"}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Show(SplitTownAndNumbers(text, terms)), expected) << U8(text);
}

// Learned town words (whole word to answer); 丙町 stands for a failing dictionary.
std::optional<std::u16string> Learned(const std::u16string& word) {
  if (word == u"丙町")
    return std::nullopt;
  return word == u"はち山町" ? u"鉢山町" : word == u"丁" ? u"甲" : u"";
}

TEST(TownMatch, CandidateRowsAndLearnedWords) {
  struct Case {
    std::u16string rows;  // the candidate rows' town names, separated by blanks
    std::u16string town;  // the town text as split
    std::u16string chome;
    std::u16string chomeSuffix;  // the 丁目 text written after the chome ("" when none)
    std::string expected;        // the stored name, "+chome" when the number went into it
  };
  const Case cases[] = {
      {u"本町", u"本町", u"３", {}, "本町"},
      {u"本町三丁目", u"本町", u"３", {}, "本町三丁目 +chome"},
      {u"本町三丁目", u"本町", u"３", u"丁目", "本町三丁目 +chome"},
      {u"本町三丁目東", u"本町", u"３", u"丁目東", "本町三丁目東 +chome"},
      {u"大字本町三丁目", u"本町", u"３", u"丁目", "大字本町三丁目 +chome"},
      {u"本町三", u"本町", u"３", {}, "本町三"},  // name and numeral without 丁目
      {u"本町", u"大字本町", {}, {}, "本町"},
      {u"大字本町", u"本町", {}, {}, "大字本町"},
      // Written with 大字: the 大字 form is tried first and wins over the plain one.
      {u"本町 大字本町", u"大字本町", {}, {}, "大字本町"},
      {u"甲", u"大字甲字乙", {}, {}, "甲"},      // the 字 part cut off
      {u"甲乙", u"大字甲字乙", {}, {}, "甲乙"},  // 大字 and 字 removed
      {u"第二本町", u"第2本町", {}, {}, "第二本町"},
      {u"abc町", u"ABC町", {}, {}, "abc町"},  // ASCII letter case ignored, width not
      {u"abc町", u"ＡＢＣ町", {}, {}, "not found"},
      {u"本町三丁目", u"本町", u"４", {}, "not found"},
      // A name found twice (in two candidate cities) is not taken by name alone; completed
      // by the chome it takes the first row that fits.
      {u"本町 本町", u"本町", {}, {}, "not found"},
      {u"本町 本町 本町五丁目 本町五丁目", u"本町", u"５", {}, "本町五丁目 +chome"},
      {u"本町 本町 本町五", u"本町", u"５", {}, "本町五"},
      {u"本町 本町 大字本町", u"本町", {}, {}, "大字本町"},
      {u"鉢山町", u"はち山町", {}, {}, "鉢山町"},
      {u"鉢山町一丁目", u"はち山町", u"１", {}, "鉢山町一丁目 +chome"},
      {u"代官山町", u"はち山町", {}, {}, "not found"},
      {u"甲", u"大字丁", {}, {}, "甲"},  // a learned word for the text after 大字
      {u"本町", u"丙町", {}, {}, "failed"},
  };
  for (const auto& c : cases) {
    std::vector<TownRow> rows;
    for (const auto& town : test::Words(c.rows))
      rows.push_back({u"東京都", u"港区", town});
    const TownMatch m =
        FindOazaChome(rows, {c.town, c.chome, !c.chomeSuffix.empty(), c.chomeSuffix}, Learned);
    const std::string shown = m.outcome == TownMatchOutcome::NotFound ? "not found"
                              : m.outcome == TownMatchOutcome::Failed
                                  ? "failed"
                                  : U8(m.townName) + (m.chomeInOaza ? " +chome" : "");
    EXPECT_EQ(shown, c.expected) << U8(c.rows) << " / " << U8(c.town) << " " << U8(c.chome);
  }
  // A learned word that leads to no town is asked for (and counted) once (issue 20).
  std::vector<std::u16string> asked;
  const TownWordLookup counting = [&](const std::u16string& word) {
    asked.push_back(word);
    return Learned(word);
  };
  const std::vector<TownRow> rows = {{u"東京都", u"渋谷区", u"代官山町"}};
  EXPECT_EQ(FindOazaChome(rows, {u"はち山町", u"", false, u""}, counting).outcome,
            TownMatchOutcome::NotFound);
  EXPECT_EQ(asked, std::vector<std::u16string>{u"はち山町"});
}

}  // namespace
}  // namespace mok::engine
