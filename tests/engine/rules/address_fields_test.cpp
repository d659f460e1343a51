#include "engine/rules/address_fields.h"

#include <gtest/gtest.h>

#include <optional>

#include "text/text.h"

namespace mok::engine {
namespace {

using Cases = std::vector<std::pair<std::u16string, std::u16string>>;

// The fields left to hand out, each in brackets.
std::u16string Rest(AddressFields& fields) {
  std::u16string out;
  while (!fields.AtEnd())
    out += u"[" + fields.NextAddressField() + u"]";
  return out;
}

std::u16string Split(std::u16string_view text, std::u16string_view delimiter) {
  AddressFields fields;
  fields.Split(text, delimiter);
  return Rest(fields);
}

TEST(AddressFields, SplitKeepsEmptyFieldsAndMatchesTheDelimiterExactly) {
  EXPECT_EQ(Split(u",東京都,,", u","), u"[][東京都][][]");
  EXPECT_EQ(Split(u"", u","), u"[]");
  EXPECT_EQ(Split(u"東京都,千代田区", u""), u"[東京都,千代田区]");
  EXPECT_EQ(Split(u"東京都:::千代田区::", u"::"), u"[東京都][:千代田区][]");
  EXPECT_EQ(Split(u"東京都，千代田区", u","), u"[東京都，千代田区]");
}

TEST(AddressFields, HandsOutCleanedFieldsFromTheFirstAndStopsAtTheEnd) {
  AddressFields fields;
  fields.Split(u"a,b,c,d,e,f", u",");
  fields.NextAddressField();
  fields.Split(u"\"東京都\", 千代田区丸の内1丁目2番3号 メゾン 101,, '港区' ", u",");
  EXPECT_EQ(Rest(fields), u"[東京都][千代田区丸の内1丁目2番3号 メゾン 101][][港区]");
  EXPECT_EQ(fields.NextAddressField() + fields.NextAddressField(), u"");
  EXPECT_EQ(fields.Count(), 4u);
  fields.Clear();
  EXPECT_TRUE(fields.AtEnd() && fields.Count() == 0);
}

// Quotes always go; spaces go from the left, one at a time, until one lies beyond the end of the
// number block measured in the untrimmed field: that space and every later one stay.
TEST(AddressFields, CleaningKeepsOnlyTheSpacesAfterTheNumberBlock) {
  const Cases cases = {{u"芝1丁目2番3号 メゾン 101", u"芝1丁目2番3号 メゾン 101"},
                       {u"港区 芝1-2-3 ビル 1階", u"港区芝1-2-3ビル 1階"},
                       {u"甲 12番地 ビル 2F", u"甲12番地ビル2F"},
                       {u"丸の'内 1", u"丸の内 1"},
                       {u"芝1-2-3　メゾン　101　", u"芝1-2-3　メゾン　101"},
                       {u"港区　芝1-2-3　メゾン", u"港区芝1-2-3メゾン"},
                       {u"  芝1丁目2番3号 ビル", u"芝1丁目2番3号ビル"},
                       {u" 芝1丁目2番3号 ビル", u"芝1丁目2番3号 ビル"},
                       {u"1-2-3-4-5-6-7-8-9-10-11-12 ビル", u"1-2-3-4-5-6-7-8-9-10-11-12 ビル"},
                       // Between two numerals a space stays: 3 and 101 are two numbers.
                       {u"港区 芝1-2-3 101", u"港区芝1-2-3 101"},
                       {u" \"　' ’ ＂＇ ", u""}};
  for (const auto& [raw, cleaned] : cases) {
    AddressFields fields;
    fields.Split(raw, u",");
    EXPECT_EQ(fields.NextAddressField(), cleaned) << text::ToUtf8(raw);
  }
  EXPECT_EQ(StripQuotesAndSpaces(u" \"東'京’都＂＇ 芝1-2　メゾン 101 "), u"東京都芝1-2メゾン101");
  // The end of the fields handed out as written: the spaces back, the quotes out; a text that is
  // no such end comes back as it is.
  AddressFields fields;
  fields.Split(u"甲 12番地 ビル 2F,\"三井\" 別館 ", u",");
  EXPECT_EQ(Rest(fields), u"[甲12番地ビル2F][三井別館]");
  EXPECT_EQ(fields.WrittenTail(u"ビル2F三井別館"), u" ビル 2F三井 別館");
  EXPECT_EQ(fields.WrittenTail(u"別館"), u" 別館");
  EXPECT_EQ(fields.WrittenTail(u"ビル2F"), u"ビル2F");
  EXPECT_EQ(StripQuotesAndSpaces(u"‘東京都」"), u"‘東京都」");  // only those quote characters
}

// The number block as "start-end", "at the end" when the first number ends the text (a block of
// 0 to 0), "none" when there is none.
std::u16string Block(std::u16string_view text) {
  const std::optional<NumberBlock> block = FindNumberBlock(text);
  if (!block)
    return u"none";
  if (block->start == 0 && block->end == 0)
    return u"at the end";
  return text::FromUtf8(std::to_string(block->start) + "-" + std::to_string(block->end));
}

// The block begins at the first number followed by a form of 丁目, a separator or only spaces
// (numerals in the names before it are passed over) and ends at the first number not followed by
// the word of the next level.
TEST(AddressFields, FindNumberBlockJoinsNumbersByLevelWordsOrSeparators) {
  const Cases cases = {
      {u"1丁目2番3号ビル", u"1-6"}, {u"1丁目2番3号4", u"1-8"}, {u"三丁目五番地", u"1-4"},
      {u"1 2 3号", u"1-5"},         {u"1丁目2号", u"1-4"},     {u"1の2", u"1-3"},
      {u"一番町3-4", u"4-6"},       {u"12番", u"none"},        {u"一番町3番地", u"none"},
      {u"千代田区 1", u"none"},     {u"丸の内", u"none"},      {u"", u"none"},
      {u"丸の内 1", u"at the end"}, {u"123", u"at the end"}};
  EXPECT_EQ(Block(u"1ちょうめ2ばんち3ごう"), u"1-10");
  EXPECT_EQ(Block(u"千代田区1丁目2番3号"), u"5-10");
  for (const auto& [text, block] : cases)
    EXPECT_EQ(Block(text), block) << text::ToUtf8(text);
  // Only ten runs are recorded: the text after the tenth reads as plain text.
  EXPECT_EQ(Block(u"1-2-3-4-5-6-7-8-9-10-11-12 ビル"), u"1-20");
  const NumeralRuns runs = FindNumeralRuns(u"甲1-2-3-4-5-6-7-8-9-10-11-12");
  EXPECT_EQ(std::tuple(runs.count, runs[0].start, runs[9].start, runs[9].length),
            std::tuple(10u, 2, 20, 2));
  const NumeralRuns mixed = FindNumeralRuns(u"二十五番地１２の三");
  EXPECT_EQ(std::tuple(mixed.count, mixed[0].length, mixed[1].start, mixed[2].start),
            std::tuple(3u, 3, 6, 9));
  EXPECT_EQ(FindNumeralRuns(u"一番町3番地", 4)[0].start, 4);  // from a later position on
  EXPECT_EQ(FindNumeralRuns(u"12", 5).count, 0u);
  // Positions are 16-bit: a longer text is scanned up to there.
  const std::u16string longText = std::u16string(40000, u'甲') + u"1丁目2番";
  EXPECT_EQ(Block(longText), u"none");
  AddressFields fields;
  fields.Split(longText + u" ビル", u",");
  EXPECT_EQ(fields.NextAddressField().size(), longText.size() + 2);
}

// Each level word matches its own level only, exactly; separators and "" match every level.
TEST(AddressFields, LevelWordsAndSeparators) {
  const std::vector<std::u16string> words[] = {
      {},
      {u"丁目", u"ちょうめ", u"チョウメ", u"ﾁｮｳﾒ"},
      {u"番地", u"番", u"ばんち", u"ばん", u"バンチ", u"バン", u"ﾊﾞﾝﾁ", u"ﾊﾞﾝ"},
      {u"号", u"ゴウ", u"ごう", u"ｺﾞｳ"},
      {},
      {u"", u"の", u"ノ", u"－", u"～", u"ﾉ", u"-", u"ー"},  // separators: every level
      {u"番地2", u"丁", u" ", u"ﾁｮｳﾒ ", u"ｰ", u"ごウ"}};     // no level
  for (int level = 0; level <= 4; ++level) {
    for (int row = 0; row < static_cast<int>(std::size(words)); ++row) {
      for (const std::u16string& word : words[row])
        EXPECT_EQ(IsLevelWordOrSeparator(level, word), row == level || row == 5)
            << level << text::ToUtf8(word);
    }
  }
}

// The narrowed kana part before the first digit, its end and whether only kana came before it.
std::u16string Kana(std::u16string_view text) {
  const KanaPart part = CutKanaPart(text);
  return part.kana + u" " + text::FromUtf8(std::to_string(part.firstOther)) +
         (part.isKana ? u" kana" : u"");
}

TEST(AddressFields, CutKanaPartKeepsTheHalfWidthKanaBeforeTheFirstDigit) {
  const Cases cases = {
      {u"ｶﾅ1-2", u"ｶﾅ 3 kana"}, {u"ｶﾅ１２", u"ｶﾅ 3 kana"}, {u"ガッコウ", u"ｶﾞｯｺｳ 0 kana"},
      {u"ｦｰﾟ", u"ｦｰﾟ 0 kana"},  {u"1ﾁｮｳﾒ", u" 1 kana"},    {u"", u" 0 kana"},
      {u"東京都", u" 1"},       {u"ﾁﾖﾀﾞｸ 1", u"ﾁﾖﾀﾞｸ 6"},  {u"ｱ｡", u"ｱ 2"}};
  for (const auto& [text, part] : cases)
    EXPECT_EQ(Kana(text), part) << text::ToUtf8(text);
}

// The oaza name, "+" when a leading 大字 was dropped.
TEST(AddressFields, CutAzaNameDropsALeadingOazaAndCutsBeforeTheAzaPart) {
  const Cases cases = {{u"大字甲字乙", u"甲+"},    {u"大字本町", u"本町+"},
                       {u"大字甲大字乙", u"甲+"},  {u"大字", u"+"},
                       {u"字乙大字", u"字乙大字"}, {u"甲大字乙", u"甲"},
                       {u"甲字乙", u"甲"},         {u"本町", u"本町"}};
  for (const auto& [text, want] : cases) {
    const AzaCut cut = CutAzaName(text);
    EXPECT_EQ(cut.oaza + (cut.prefixRemoved ? u"+" : u""), want) << text::ToUtf8(text);
  }
}

}  // namespace
}  // namespace mok::engine
