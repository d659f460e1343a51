// Which block row answers an address's block number: exact, or the nearest numbered row.
#include "engine/recognition/block_choice.h"

#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(BlockChoice, ExactOrNearestNumber) {
  auto query = [](const std::u16string& asked, bool completeMatch) {
    const BlockQuery q = BlockQueryFor(asked, completeMatch);
    return q.exact ? "exact " + U8(*q.exact) : q.nearest ? std::to_string(*q.nearest) : "first";
  };
  EXPECT_EQ(query(u"５", false), "5");
  EXPECT_EQ(query(u"１２", true), "exact 12");
  EXPECT_EQ(query(u"１２－１", false), "exact 12-1");  // not a number: no distance to others
  EXPECT_EQ(query(u"1234567890123456789", false), "exact 1234567890123456789");
  EXPECT_EQ(query(u"", false), "first");
  EXPECT_EQ(query(u"", true), "first");

  struct Case {
    std::u16string numbers;  // the town's block numbers in table order, "-" for Null
    std::optional<int64_t> nearest;
    std::optional<std::size_t> chosen;
  };
  // 6 and 4 tie: the earlier row. Numbers are compared, not texts. No number asked: the first
  // row. Numbered rows come before a Null one or one without a plain number; among themselves
  // those are ordered as read as integers, a Null one first.
  const Case cases[] = {{u"3 8", 5, 0},        {u"12 6 4 100", 5, 1},  {u"12 6 4 100", 99, 3},
                        {u"12 6 4 100", 0, 2}, {u"12 6", {}, 0},       {u"- 7 12", 5, 1},
                        {u"-", 5, 0},          {u"12-1 甲 20", 13, 2}, {u"甲 12-1", 13, 1},
                        {u"12-1 -", 13, 1}};
  for (const auto& c : cases) {
    std::vector<BlockRow> rows;
    for (const auto& n : test::Words(c.numbers))
      rows.push_back({n == u"-" ? std::nullopt : std::optional(n), u"9", u"X", u"Y", u"", u""});
    EXPECT_EQ(ChooseBlock(rows, {std::nullopt, c.nearest}), c.chosen) << U8(c.numbers);
  }
  EXPECT_EQ(ChooseBlock({}, {std::nullopt, 5}), std::nullopt);
}

}  // namespace
}  // namespace mok::engine
