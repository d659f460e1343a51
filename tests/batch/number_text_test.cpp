#include "batch/number_text.h"

#include <gtest/gtest.h>

#include "batch_test_util.h"

namespace mok::batch {
namespace {

TEST(NumberText, WhatHoldsANumberAndHowItRounds) {
  struct Case {
    std::u16string text;
    std::optional<int64_t> rounded;  // nullopt: not a number
  };
  const Case cases[] = {
      {u"2", 2},
      {u" 12 ", 12},
      {u"2.5", 2},
      {u"3.5", 4},
      {u"-0.5", 0},
      {u"-1.5", -2},
      {u"0.49", 0},
      {u"+7", 7},
      {u"１２", 12},
      {u"1e2", 100},
      {u".5", 0},
      {u"1.", 1},
      {u"", std::nullopt},
      {u"abc", std::nullopt},
      {u"1a", std::nullopt},
      {u"-", std::nullopt},
      {u"1e", std::nullopt},
      {u".", std::nullopt},
      {u"1 2", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto value = ParseNumber(c.text);
    ASSERT_EQ(value.has_value(), c.rounded.has_value()) << test::Show(c.text);
    if (value) {
      EXPECT_EQ(static_cast<int64_t>(RoundHalfEven(*value)), *c.rounded) << test::Show(c.text);
    }
  }
}

TEST(NumberText, RangeOfTheStartRow) {
  EXPECT_EQ(RoundedInRange(32767.4, -32768, 32767), 32767);
  EXPECT_EQ(RoundedInRange(32767.5, -32768, 32767), std::nullopt);  // rounds to 32768
  EXPECT_EQ(RoundedInRange(-32768.5, -32768, 32767), -32768);       // halves to even
}

}  // namespace
}  // namespace mok::batch
