// Speed of the case/width/kana-insensitive search and folding on typical address text: the
// recognition runs these for every level word and suffix of every address.
#include <benchmark/benchmark.h>

#include <string>

#include "text/text.h"

namespace {

const std::u16string kAddress = u"東京都千代田区丸の内一丁目１番２号　丸の内ビル";
const std::u16string kKanaAddress = u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1ﾁｮｳﾒ1ﾊﾞﾝ2ｺﾞｳ";

void BM_InStrFound(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::InStr(kAddress, u"丁目"));
}
BENCHMARK(BM_InStrFound);

void BM_InStrNotFound(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::InStr(kAddress, u"番地"));
}
BENCHMARK(BM_InStrNotFound);

void BM_InStrKana(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::InStr(kKanaAddress, u"ちょうめ"));
}
BENCHMARK(BM_InStrKana);

void BM_InStrRev(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::InStrRev(kAddress, u"区"));
}
BENCHMARK(BM_InStrRev);

void BM_InStrExact(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::InStrExact(kAddress, u"番地"));
}
BENCHMARK(BM_InStrExact);

void BM_Fold(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::Fold(kAddress));
}
BENCHMARK(BM_Fold);

void BM_EqualsFold(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::EqualsFold(u"ちょうめ", u"チョウメ"));
}
BENCHMARK(BM_EqualsFold);

void BM_ToNarrow(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::ToNarrow(kAddress));
}
BENCHMARK(BM_ToNarrow);

void BM_ToWide(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(mok::text::ToWide(kKanaAddress));
}
BENCHMARK(BM_ToWide);

void BM_Cp932RoundTrip(benchmark::State& state) {
  for (auto _ : state) {
    auto bytes = mok::text::EncodeCp932(kAddress);
    benchmark::DoNotOptimize(mok::text::DecodeCp932(*bytes));
  }
}
BENCHMARK(BM_Cp932RoundTrip);

}  // namespace

BENCHMARK_MAIN();
