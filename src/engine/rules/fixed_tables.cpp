#include "engine/rules/fixed_tables.h"

namespace mok::engine {
namespace {

constexpr FixedTables BuildFixedTables() {
  FixedTables t;

  t.numeralChars = u"0123456789０１２３４５６７８９零一二三四五六七八九十壱弐参拾百千万萬〇";
  t.numeralValues = {0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // ASCII digits
                     0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // full-width digits
                     0,   1,    2,     3,     4,  5, 6, 7, 8, 9,  // 零 to 九
                     10,  1,    2,     3,     10,                 // 十 壱 弐 参 拾
                     100, 1000, 10000, 10000, 0};                 // 百 千 万 萬 〇

  t.kanjiDigits = {u"０", u"一", u"二", u"三", u"四", u"五", u"六", u"七", u"八", u"九"};
  t.kanjiUnits = {u"", u"十", u"百", u"千", u"万"};

  t.levelWords[0] = {u"丁目", u"ちょうめ", u"チョウメ", u"ﾁｮｳﾒ"};
  t.levelWords[1] = {u"番地", u"番", u"ばんち", u"ばん", u"バンチ", u"バン", u"ﾊﾞﾝﾁ", u"ﾊﾞﾝ"};
  t.levelWords[2] = {u"号", u"ゴウ", u"ごう", u"ｺﾞｳ"};

  // の, ノ, － (U+FF0D), ～ (U+FF5E), ﾉ, -, ー (U+30FC).
  t.numberSeparators = {u"の", u"ノ", u"\uFF0D", u"\uFF5E", u"ﾉ", u"-", u"\u30FC"};

  t.placeSuffixes = {u"市", u"区", u"郡", u"町", u"村"};

  // ", ', ’ (U+2019), space, ideographic space.
  t.removableChars = {u"\"", u"'", u"\u2019", u" ", u"\u3000"};

  t.logLabel = u"［変換ログ］";
  return t;
}

constexpr FixedTables kFixedTables = BuildFixedTables();

static_assert(kFixedTables.numeralChars.size() == kNumeralCount);
static_assert(kFixedTables.numeralChars[kNumeralCount - 1] == u'〇');
static_assert(kFixedTables.numeralValues[kNumeralCount - 1] == 0);
static_assert(kFixedTables.numeralValues[38] == 10000);

}  // namespace

const FixedTables& LoadFixedNames() {
  return kFixedTables;
}

}  // namespace mok::engine
