// The numbers of the start-row and address-field boxes: what holds a number, and rounding with
// halves to even. The golden case validation shows the messages for boxes that hold none.
#include "batch/number_text.h"

#include <gtest/gtest.h>

#include "batch_test_util.h"

namespace mok::batch {
namespace {

TEST(NumberText, WhatHoldsANumberAndHowItRounds) {
  const std::pair<std::u16string, std::optional<int64_t>> cases[] = {
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
      {u"1a", std::nullopt},
      {u"-", std::nullopt},
      {u"1e", std::nullopt},
      {u".", std::nullopt},
      {u"1 2", std::nullopt},
  };
  for (const auto& [input, rounded] : cases) {
    const auto value = ParseNumber(input);
    EXPECT_EQ(value ? std::optional(RoundHalfEven(*value)) : std::nullopt, rounded)
        << test::Show(input);
  }
  // The start row must fit 16 bits after rounding.
  EXPECT_EQ(RoundedInRange(32767.4, -32768, 32767), 32767);
  EXPECT_EQ(RoundedInRange(32767.5, -32768, 32767), std::nullopt);
  EXPECT_EQ(RoundedInRange(-32768.5, -32768, 32767), -32768);
}

}  // namespace
}  // namespace mok::batch
