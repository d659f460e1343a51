// Speed of the address rules on the hot path of every address: reading numerals, writing digit
// runs in kanji for the town lookup, and splitting and cleaning the address fields.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"

namespace {

using namespace mok::engine;

constexpr std::array<std::u16string_view, 8> kNumerals = {
    u"1", u"12", u"１２３", u"百二十三", u"二千三", u"3番地", u"十二", u"二万三千"};

constexpr std::array<std::u16string_view, 6> kTownTexts = {
    u"本町3丁目", u"丸の内1丁目", u"大字甲123", u"西新宿２丁目", u"第1２地割字本町", u"桜台"};

constexpr std::array<std::u16string_view, 5> kAddresses = {
    u"東京都千代田区丸の内1丁目2番3号 メゾン 101", u"東京都 千代田区 丸の内1丁目2番3号 ビル 1階",
    u"\"東京都新宿区西新宿２－８－１\"",           u"東京都,八王子市元本郷町3丁目24番1号,,",
    u"東京都 世田谷区 甲 12番地 ビル 2F",
};

void BM_NumeralToNumber(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NumeralToNumber(kNumerals[i]));
    i = (i + 1) % kNumerals.size();
  }
}
BENCHMARK(BM_NumeralToNumber);

void BM_DigitRunsToKanji(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DigitRunsToKanji(kTownTexts[i]));
    i = (i + 1) % kTownTexts.size();
  }
}
BENCHMARK(BM_DigitRunsToKanji);

// One address: split on the delimiter, then every field handed out cleaned.
void BM_SplitAndNextAddressField(benchmark::State& state) {
  AddressFields fields;
  std::size_t i = 0;
  for (auto _ : state) {
    fields.Split(kAddresses[i], u",");
    while (!fields.AtEnd())
      benchmark::DoNotOptimize(fields.NextAddressField());
    i = (i + 1) % kAddresses.size();
  }
}
BENCHMARK(BM_SplitAndNextAddressField);

void BM_FindNumberBlock(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindNumberBlock(kAddresses[i]));
    i = (i + 1) % kAddresses.size();
  }
}
BENCHMARK(BM_FindNumberBlock);

}  // namespace

BENCHMARK_MAIN();
