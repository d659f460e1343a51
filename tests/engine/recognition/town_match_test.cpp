// The town match over the candidate rows of the municipality: the forms a town may be written
// in, the rule that a name alone must be unique, and learned town words.
#include "engine/recognition/town_match.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

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
}

}  // namespace
}  // namespace mok::engine
