#include "engine/rules/address_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/text.h"

namespace mok::engine {
namespace {

using text::ToUtf8;

std::string Joined(const std::vector<std::u16string>& fields) {
  std::string out;
  for (const auto& f : fields)
    out += "[" + ToUtf8(f) + "]";
  return out;
}

TEST(AddressFieldsSplit, SplitsAtEveryDelimiterAndKeepsEmptyFields) {
  struct Case {
    std::u16string text;
    std::u16string delimiter;
    std::vector<std::u16string> expected;
  };
  const std::vector<Case> cases = {
      {u"東京都,千代田区,丸の内1", u",", {u"東京都", u"千代田区", u"丸の内1"}},
      {u",東京都,,", u",", {u"", u"東京都", u"", u""}},
      {u"", u",", {u""}},
      {u",", u",", {u"", u""}},
      {u"東京都,千代田区", u"", {u"東京都,千代田区"}},
      {u"東京都::千代田区:港区", u"::", {u"東京都", u"千代田区:港区"}},
      {u"東京都\t千代田区", u"\t", {u"東京都", u"千代田区"}},
      // The delimiter is matched exactly: a full-width comma belongs to the address.
      {u"東京都，千代田区", u",", {u"東京都，千代田区"}},
  };
  for (const auto& c : cases) {
    AddressFields fields;
    fields.Split(c.text, c.delimiter);
    EXPECT_EQ(Joined(fields.Fields), Joined(c.expected)) << "text: " << ToUtf8(c.text);
    EXPECT_EQ(fields.FieldCount, static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(fields.FieldCursor, 0);
  }
}

TEST(AddressFieldsSplit, ANewSplitReplacesTheOldListAndRewindsTheCursor) {
  AddressFields fields;
  fields.Split(u"a,b,c,d", u",");
  fields.NextAddressField();
  fields.NextAddressField();
  fields.Split(u"x,y", u",");
  EXPECT_EQ(Joined(fields.Fields), "[x][y]");
  EXPECT_EQ(fields.FieldCount, 2);
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), "x");

  fields.Clear();
  EXPECT_TRUE(fields.AtEnd());
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), "");
}

TEST(AddressFields, HandsOutCleanedFieldsAndStopsAtTheEnd) {
  AddressFields fields;
  fields.Split(u"\"東京都\", 千代田区丸の内1丁目2番3号 メゾン 101,, '港区' ", u",");
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), ToUtf8(u"東京都"));
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), ToUtf8(u"千代田区丸の内1丁目2番3号 メゾン 101"));
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), "");
  EXPECT_EQ(ToUtf8(fields.NextAddressField()), ToUtf8(u"港区"));
  EXPECT_EQ(fields.FieldCursor, 4);
  EXPECT_TRUE(fields.AtEnd());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ToUtf8(fields.NextAddressField()), "");
    EXPECT_EQ(fields.FieldCursor, 4);
  }
}

TEST(NextAddressField, KeepsOnlyTheSpacesAfterTheNumberBlock) {
  struct Case {
    std::u16string raw;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      // Both spaces lie after the block end (the 3).
      {u"千代田区丸の内1丁目2番3号 メゾン 101", u"千代田区丸の内1丁目2番3号 メゾン 101"},
      // Removing the spaces before the block moves the space after 号 onto the block end.
      {u"東京都 千代田区 丸の内1丁目2番3号 ビル 1階", u"東京都千代田区丸の内1丁目2番3号ビル 1階"},
      // No block (the first number is followed by 番地): every space goes.
      {u"甲 12番地 ビル 2F", u"甲12番地ビル2F"},
      {u"丸の内 12番地 ビル", u"丸の内12番地ビル"},
      // The only number ends the field: no space is removed, quotes are.
      {u"丸の内 1", u"丸の内 1"},
      {u"丸の'内 1", u"丸の内 1"},
      // Ideographic spaces follow the same rule.
      {u"丸の内1-2-3　メゾン　101", u"丸の内1-2-3　メゾン　101"},
      {u"東京都　千代田区丸の内1-2-3　メゾン", u"東京都千代田区丸の内1-2-3メゾン"},
      // The block end is measured in the untrimmed field: two leading spaces move it onto the
      // space after 号, one does not.
      {u"  丸の内1丁目2番3号 ビル", u"丸の内1丁目2番3号ビル"},
      {u" 丸の内1丁目2番3号 ビル", u"丸の内1丁目2番3号 ビル"},
      // No numeral at all: every space goes.
      {u"千代田区 丸の内 ビル", u"千代田区丸の内ビル"},
      // A field of only spaces and quotes.
      {u" \"　' ’ ＂＇ ", u""},
      {u"", u""},
      // More than ten numbers: the block ends with the tenth, later spaces stay.
      {u"1-2-3-4-5-6-7-8-9-10-11-12 ビル", u"1-2-3-4-5-6-7-8-9-10-11-12 ビル"},
  };
  for (const auto& c : cases) {
    AddressFields fields;
    fields.Split(c.raw, u",");
    EXPECT_EQ(ToUtf8(fields.NextAddressField()), ToUtf8(c.expected)) << "raw: " << ToUtf8(c.raw);
  }
}

TEST(StripQuotesAndSpaces, RemovesEveryQuoteAndSpace) {
  struct Case {
    std::u16string text;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {u"\"東京都\"", u"東京都"},
      {u"'東京都'", u"東京都"},
      {u"＂東京都＂", u"東京都"},  // full-width quotation mark
      {u"＇東京都＇", u"東京都"},  // full-width apostrophe
      {u"’東京都’", u"東京都"},
      {u"東京都 千代田区　丸の内", u"東京都千代田区丸の内"},
      {u"丸の内1丁目2番3号 メゾン 101", u"丸の内1丁目2番3号メゾン101"},
      {u"O'Hara 's", u"OHaras"},
      {u" \" ' 　 ", u""},
      {u"", u""},
      // Only the listed quote characters go.
      {u"‘東京都」", u"‘東京都」"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(StripQuotesAndSpaces(c.text)), ToUtf8(c.expected))
        << "text: " << ToUtf8(c.text);
  }
}

TEST(FindNumberBlock, FindsTheNumbersJoinedByLevelWordsOrSeparators) {
  constexpr int16_t kUntouched = -99;
  struct Case {
    std::u16string text;
    bool found;
    int16_t start;
    int16_t end;
  };
  const std::vector<Case> cases = {
      {u"1丁目2番3号ビル", true, 1, 6},
      {u"丸の内1丁目2番3号ビル", true, 4, 9},
      {u"1-2-3 ビル", true, 1, 5},
      {u"1丁目2番3号", true, 1, 6},
      {u"1丁目2番3号4", true, 1, 8},
      {u"1ちょうめ2ばんち3ごう", true, 1, 10},
      {u"三丁目五番地", true, 1, 4},
      {u"1 2 3号", true, 1, 5},
      {u"1丁目2号", true, 1, 4},
      {u"1の2", true, 1, 3},
      // Numerals inside the names before the numbers do not end the search.
      {u"千代田区丸の内1丁目2番3号 メゾン 101", true, 8, 13},
      {u"東京都 千代田区 丸の内1丁目2番3号 ビル 1階", true, 13, 18},
      {u"一番町3-4", true, 4, 6},
      {u"千代田区丸の内 1", false, kUntouched, kUntouched},
      // The first number must be followed by a form of 丁目, a separator or only spaces.
      {u"12番地", false, kUntouched, kUntouched},
      {u"甲 12番地 ビル 2F", false, kUntouched, kUntouched},
      {u"一番町3番地", false, kUntouched, kUntouched},
      // The first number ends the text: true, but no block is given.
      {u"丸の内 1", true, kUntouched, kUntouched},
      {u"123", true, kUntouched, kUntouched},
      // No numeral at all.
      {u"丸の内", false, kUntouched, kUntouched},
      {u"", false, kUntouched, kUntouched},
      // Only ten runs are recorded; the text after the tenth reads as plain text.
      {u"1-2-3-4-5-6-7-8-9-10-11-12 ビル", true, 1, 20},
      {u"1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16-17-18-19-20", true, 1, 20},
  };
  for (const auto& c : cases) {
    int16_t start = kUntouched;
    int16_t end = kUntouched;
    EXPECT_EQ(FindNumberBlock(c.text, start, end), c.found) << "text: " << ToUtf8(c.text);
    EXPECT_EQ(start, c.start) << "text: " << ToUtf8(c.text);
    EXPECT_EQ(end, c.end) << "text: " << ToUtf8(c.text);
  }
}

TEST(FindNumeralRuns, RecordsAtMostTenRuns) {
  const NumeralRuns runs = FindNumeralRuns(u"甲1-2-3-4-5-6-7-8-9-10-11-12");
  ASSERT_EQ(runs.Count, 10);
  EXPECT_EQ(runs.Runs[1].Start, 2);
  EXPECT_EQ(runs.Runs[1].Length, 1);
  EXPECT_EQ(runs.Runs[10].Start, 20);
  EXPECT_EQ(runs.Runs[10].Length, 2);
  EXPECT_EQ(runs.Runs[10].End(), 21);

  const NumeralRuns mixed = FindNumeralRuns(u"二十五番地１２の三");
  ASSERT_EQ(mixed.Count, 3);
  EXPECT_EQ(mixed.Runs[1].Start, 1);
  EXPECT_EQ(mixed.Runs[1].Length, 3);
  EXPECT_EQ(mixed.Runs[2].Start, 6);
  EXPECT_EQ(mixed.Runs[2].Length, 2);
  EXPECT_EQ(mixed.Runs[3].Start, 9);

  // From a later start position only.
  const NumeralRuns later = FindNumeralRuns(u"一番町3番地", 4);
  ASSERT_EQ(later.Count, 1);
  EXPECT_EQ(later.Runs[1].Start, 4);

  EXPECT_EQ(FindNumeralRuns(u"").Count, 0);
  EXPECT_EQ(FindNumeralRuns(u"12", 5).Count, 0);
}

TEST(FindNumberBlock, LongTextDoesNotOverflowPositions) {
  std::u16string text(40000, u'甲');
  text += u"1丁目2番";
  int16_t start = 0;
  int16_t end = 0;
  EXPECT_FALSE(FindNumberBlock(text, start, end));
  AddressFields fields;
  fields.Split(text + u" ビル", u",");
  EXPECT_EQ(fields.NextAddressField().size(), text.size() + 2);
}

TEST(IsLevelWordOrSeparator, ComparesExactlyWithTheColumnAndTheSeparators) {
  struct Case {
    int16_t level;
    std::u16string text;
    bool expected;
  };
  const std::vector<Case> cases = {
      {2, u"番", true},
      {2, u"番地", true},
      {2, u"ばんち", true},
      {2, u"バン", true},
      {2, u"ﾊﾞﾝﾁ", true},
      {1, u"丁目", true},
      {1, u"ちょうめ", true},
      {1, u"ﾁｮｳﾒ", true},
      {3, u"号", true},
      {3, u"ごう", true},
      {3, u"ｺﾞｳ", true},
      {2, u"－", true},
      {2, u"～", true},
      {2, u"の", true},
      {2, u"ノ", true},
      {2, u"ﾉ", true},
      {2, u"-", true},
      {2, u"ー", true},
      // Exact equality: no prefix, no other level, no trimming.
      {2, u"番地2", false},
      {1, u"番地", false},
      {3, u"丁目", false},
      {2, u" ", false},
      {1, u"丁", false},
      // Empty texts are always accepted; level 0 has only empty cells.
      {0, u"", true},
      {1, u"", true},
      {3, u"", true},
      {0, u"丁目", false},
      {0, u"の", true},
      {4, u"号", false},
      {4, u"", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsLevelWordOrSeparator(c.level, c.text), c.expected)
        << "level " << c.level << " text: " << ToUtf8(c.text);
  }
}

TEST(CutKanaPart, KeepsTheHalfWidthKanaBeforeTheFirstDigit) {
  struct Case {
    std::u16string text;
    std::u16string expectedText;
    int32_t firstOther;
    bool result;
  };
  const std::vector<Case> cases = {
      {u"ﾄｳｷｮｳﾄ1-2", u"ﾄｳｷｮｳﾄ", 7, true},
      {u"ﾄｳｷｮｳﾄ１２", u"ﾄｳｷｮｳﾄ", 7, true},
      {u"東京都", u"", 1, false},
      {u"トウキョウ", u"ﾄｳｷｮｳ", 0, true},
      {u"ガッコウ", u"ｶﾞｯｺｳ", 0, true},
      {u"ｦｰﾟ", u"ｦｰﾟ", 0, true},
      {u"ﾁﾖﾀﾞｸ 1", u"ﾁﾖﾀﾞｸ", 6, false},
      {u"ﾄｳｷｮｳ都", u"ﾄｳｷｮｳ", 6, false},
      {u"ｱ｡", u"ｱ", 2, false},
      {u"1ﾁｮｳﾒ", u"", 1, true},
      {u"", u"", 0, true},
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    int32_t firstOther = -5;
    EXPECT_EQ(CutKanaPart(text, firstOther), c.result) << "text: " << ToUtf8(c.text);
    EXPECT_EQ(ToUtf8(text), ToUtf8(c.expectedText)) << "text: " << ToUtf8(c.text);
    EXPECT_EQ(firstOther, c.firstOther) << "text: " << ToUtf8(c.text);
  }
}

TEST(CutAzaName, DropsALeadingOazaAndCutsBeforeTheAzaPart) {
  struct Case {
    std::u16string text;
    std::u16string expectedText;
    std::u16string expectedName;
    bool prefixRemoved;
  };
  const std::vector<Case> cases = {
      {u"大字甲字乙", u"甲字乙", u"甲", true},
      {u"大字本町", u"本町", u"本町", true},
      {u"大字甲大字乙字丙", u"甲大字乙字丙", u"甲", true},
      {u"大字", u"", u"", true},
      {u"字乙", u"字乙", u"字乙", false},
      {u"甲大字乙", u"甲大字乙", u"甲", false},
      {u"甲字乙", u"甲字乙", u"甲", false},
      {u"本町三丁目", u"本町三丁目", u"本町三丁目", false},
      {u"", u"", u"", false},
  };
  for (const auto& c : cases) {
    std::u16string text = c.text;
    AddressResult result;
    EXPECT_EQ(ToUtf8(CutAzaName(text, result)), ToUtf8(c.expectedName)) << ToUtf8(c.text);
    EXPECT_EQ(ToUtf8(text), ToUtf8(c.expectedText)) << ToUtf8(c.text);
    EXPECT_EQ(result.OazaPrefixRemoved, c.prefixRemoved) << ToUtf8(c.text);
  }
}

TEST(CutAzaName, LeavesAnEarlierPrefixFlagSet) {
  AddressResult result;
  std::u16string first = u"大字本町";
  CutAzaName(first, result);
  std::u16string second = u"本町";
  CutAzaName(second, result);
  EXPECT_TRUE(result.OazaPrefixRemoved);
}

}  // namespace
}  // namespace mok::engine
