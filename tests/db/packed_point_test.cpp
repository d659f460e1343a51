// A residence point packed into one text and read back: five parts, empty ones kept empty; any
// other number of parts is no point.
#include "db/packed_point.h"

#include <gtest/gtest.h>

#include "text/text.h"

namespace mok::db {
namespace {

TEST(PackedPointTest, FivePartsOrNone) {
  const engine::StoredPoint point{u"9", u"-31497.007", u"-8744.818", u"35.716064411",
                                  u"139.736680675"};
  EXPECT_EQ(text::ToUtf8(PackPoint(point)), "9|-31497.007|-8744.818|35.716064411|139.736680675");
  EXPECT_EQ(UnpackPoint(text::ToUtf8(PackPoint(point))), point);
  const engine::StoredPoint withoutZone{u"", u"", u"", u"35.7", u"139.7"};
  EXPECT_EQ(UnpackPoint(text::ToUtf8(PackPoint(withoutZone))), withoutZone);
  EXPECT_EQ(UnpackPoint("9|X|Y|３５|1"), (engine::StoredPoint{u"9", u"X", u"Y", u"３５", u"1"}));
  for (const char* malformed : {"", "9|X|Y|35", "9|X|Y|35|139|", "||||||"})
    EXPECT_EQ(UnpackPoint(malformed), std::nullopt) << malformed;
}

}  // namespace
}  // namespace mok::db
