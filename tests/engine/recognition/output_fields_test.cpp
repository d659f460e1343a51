// The converted fields of an output line as the output settings choose them.
#include "engine/recognition/output_fields.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(OutputFields, FollowTheSettings) {
  AddressParts chome;  // 「丸の内1丁目2番3号ビル」: the first number is the chome, ２ the block
  chome.prefecture = u"東京都";
  chome.city = u"千代田区";
  chome.townName = u"丸の内一丁目";
  chome.numbers = {u"１", u"２", u"３"};
  chome.remainder = u"号ビル";
  chome.chomeInOaza = true;
  AddressParts plain = chome;  // 「札幌市中央区甲12-3-4-5-6ビル」
  plain.city = u"札幌市";
  plain.ward = u"中央区";
  plain.townName = u"甲";
  plain.numbers = {u"１２", u"３", u"４", u"５", u"６"};
  plain.remainder = u"ビル";
  plain.chomeInOaza = false;
  AddressParts noBlock = chome;  // the block row taken has no number
  noBlock.numbers = {u"２"};
  const BlockPosition position{u"C1", u"9", u"X1", u"Y1", u"LAT1", u"LON1"};
  Settings s;
  auto compose = [&](const AddressParts& parts, std::vector<std::u16string> log = {}) {
    return U8(ComposeOutputFields(s, parts, position, log));
  };
  EXPECT_EQ(compose(chome), "丸の内一丁目２,C1,9,X1,Y1,LAT1,LON1");
  s.coordNoOut = false;
  EXPECT_EQ(compose(chome), "丸の内一丁目２,C1,X1,Y1,LAT1,LON1");
  s.coordNoOut = true;
  s.xyOut = false;  // the coordinate system number goes with X and Y
  EXPECT_EQ(compose(chome), "丸の内一丁目２,C1,LAT1,LON1");
  s.prefOut = s.cityOut = s.remainOut = s.xyOut = s.logOut = true;
  s.townCombine = false;
  EXPECT_EQ(
      compose(chome, {u"a → b", u"c → d"}),
      "東京都,千代田区,丸の内一丁目,２,３号ビル,C1,9,X1,Y1,LAT1,LON1,［変換ログ］a → b,c → d");
  s.cityCodeOut = s.xyOut = s.latLonOut = false;
  // Every number after the third is kept in the remainder field, joined by the full-width hyphen.
  EXPECT_EQ(compose(plain), "東京都,札幌市中央区,甲,１２,３－４－５－６ビル");
  // An empty block keeps its field, so that the columns stay under their header.
  EXPECT_EQ(compose(noBlock), "東京都,千代田区,丸の内一丁目,,号ビル");
}

}  // namespace
}  // namespace mok::engine
