#include "engine/rules/fixed_tables.h"

namespace mok::engine {
namespace {

constexpr FixedTables BuildFixedTables() {
  FixedTables t;

  t.NumeralChars = u"0123456789０１２３４５６７８９零一二三四五六七八九十壱弐参拾百千万萬〇";
  t.NumeralValues = {0,                                           // unused
                     0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // ASCII digits
                     0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // full-width digits
                     0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // 零 to 九
                     10,  1,    2,     3,     10,                 // 十 壱 弐 参 拾
                     100, 1000, 10000, 10000, 0};                 // 百 千 万 萬 〇

  t.KanjiDigits = {u"０", u"一", u"二", u"三", u"四", u"五", u"六", u"七", u"八", u"九"};
  t.KanjiUnits = {u"", u"十", u"百", u"千", u"万"};

  // Rows 9 to 12 of every level and rows 5 to 8 of levels 1 and 3 stay empty.
  t.LevelWords[1][1] = u"丁目";
  t.LevelWords[1][2] = u"ちょうめ";
  t.LevelWords[1][3] = u"チョウメ";
  t.LevelWords[1][4] = u"ﾁｮｳﾒ";
  t.LevelWords[2][1] = u"番地";
  t.LevelWords[2][2] = u"番";
  t.LevelWords[2][3] = u"ばんち";
  t.LevelWords[2][4] = u"ばん";
  t.LevelWords[2][5] = u"バンチ";
  t.LevelWords[2][6] = u"バン";
  t.LevelWords[2][7] = u"ﾊﾞﾝﾁ";
  t.LevelWords[2][8] = u"ﾊﾞﾝ";
  t.LevelWords[3][1] = u"号";
  t.LevelWords[3][2] = u"ゴウ";
  t.LevelWords[3][3] = u"ごう";
  t.LevelWords[3][4] = u"ｺﾞｳ";

  // の, ノ, － (U+FF0D), ～ (U+FF5E), ﾉ, -, ー (U+30FC); 8 to 10 empty.
  t.NumberSeparators = {u"",  u"の",     u"ノ", u"\uFF0D", u"\uFF5E", u"ﾉ",
                        u"-", u"\u30FC", u"",   u"",       u""};

  t.PlaceSuffixes = {u"", u"市", u"区", u"郡", u"町", u"村"};

  // ", ', ’ (U+2019), space, ideographic space; 6 to 10 empty.
  t.RemovableChars = {u"", u"\"", u"'", u"\u2019", u" ", u"\u3000", u"", u"", u"", u"", u""};

  t.LogLabel = u"［変換ログ］";
  return t;
}

constexpr FixedTables kFixedTables = BuildFixedTables();

static_assert(kFixedTables.NumeralChars.size() == kNumeralCount);
static_assert(kFixedTables.NumeralChars[kNumeralCount - 1] == u'〇');
static_assert(kFixedTables.NumeralValues[kNumeralCount] == 0);
static_assert(kFixedTables.NumeralValues[39] == 10000);

}  // namespace

const FixedTables& LoadFixedNames() {
  return kFixedTables;
}

}  // namespace mok::engine
