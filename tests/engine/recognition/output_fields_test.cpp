// The converted fields of an output line as the output settings choose them.
#include "engine/recognition/output_fields.h"
#include "engine/recognition/town_split.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(OutputFields, FollowTheSettings) {
  // The parts of an address in 札幌市中央区 with this town text, as the town split gives them.
  auto parts = [](const std::u16string& townText) {
    const TownSplit t = SplitTownAndNumbers(townText, {});
    return AddressParts{u"北海道", u"札幌市",   u"中央区",     t.townName,
                        t.numbers, t.remainder, t.chomeInOaza, t.chomeSuffix};
  };
  const AddressParts chome = parts(u"丸の内1丁目2番3号ビル");  // the first number is the chome
  const AddressParts plain = parts(u"甲12-3-4-5-6ビル");
  const AddressParts noBlock = parts(u"丸の内1丁目");
  BlockPosition position{u"C1", u"9", u"X1", u"Y1", u"LAT1", u"LON1", {}};
  Settings s;
  auto compose = [&](const AddressParts& parts, std::vector<std::u16string> log = {}) {
    return U8(ComposeOutputFields(s, parts, position, log));
  };
  EXPECT_EQ(compose(chome), "丸の内２,C1,9,X1,Y1,LAT1,LON1");
  s.coordNoOut = false;
  EXPECT_EQ(compose(chome), "丸の内２,C1,X1,Y1,LAT1,LON1");
  s.coordNoOut = true;
  s.xyOut = false;  // the coordinate system number goes with X and Y
  EXPECT_EQ(compose(chome), "丸の内２,C1,LAT1,LON1");
  s.prefOut = s.cityOut = s.remainOut = s.xyOut = s.logOut = true;
  s.townCombine = false;
  EXPECT_EQ(compose(chome, {u"a → b", u"c → d"}),
            "北海道,札幌市中央区,丸の内,２,３号ビル,C1,9,X1,Y1,LAT1,LON1,［変換ログ］a → b,c → d");
  s.cityCodeOut = s.xyOut = s.latLonOut = false;
  // Every number after the third is kept in the remainder field, joined by the full-width hyphen.
  EXPECT_EQ(compose(plain), "北海道,札幌市中央区,甲,１２,３－４－５－６ビル");
  // An empty block keeps its field, so that the columns stay under their header.
  EXPECT_EQ(compose(noBlock), "北海道,札幌市中央区,丸の内,,");
  // The level of the point, before the log.
  s.levelOut = true;
  position.reached = {PointLevel::Block, false, u"３"};
  EXPECT_EQ(compose(noBlock, {u"a → b"}),
            "北海道,札幌市中央区,丸の内,,,街区（近似）,［変換ログ］a → b");
}

}  // namespace
}  // namespace mok::engine
