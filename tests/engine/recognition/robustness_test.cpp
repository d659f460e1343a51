// Addresses made of random pieces of real ones: every call ends with one of the result codes,
// output fields exactly when converted, and nothing of the call reaching the next.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/recognition/recognizer.h"
#include "engine_test_db.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(RobustnessTest, RandomPiecesOfAddresses) {
  test::EngineDatabase d;
  d.AddTown(u"東京都", u"千代田区", u"丸の内一丁目", {u"2", u"5"});
  d.AddTown(u"東京都", u"港区", u"六本木一丁目", {});
  d.AddTown(u"北海道", u"虻田郡倶知安町", u"北町", {u"1"});
  d.AddTown(u"東京都", u"市川市", u"市場", {u"1"});
  d.AddPost(u"1000005", u"千代田区", u"丸の内", u"ﾁﾖﾀﾞｸ", u"ﾏﾙﾉｳﾁ");
  d.b.AddLearned(0, 2, u"ちよだ", u"千代田");
  d.b.AddLearned(0, 3, u"ま", u"");  // a Null-like empty replacement
  d.Open();
  d.database->StrRegionKana = u"ﾄｳｷｮｳ";

  const std::vector<std::u16string> pieces = {
      u"東京都", u"北海道", u"東",          u"千代田区", u"港区",     u"虻田郡", u"倶知安町",
      u"市",     u"区",     u"郡",          u"町",       u"村",       u"丸の内", u"大字",
      u"字",     u"北町",   u"1",           u"２",       u"十",       u"百",     u"万",
      u"〇",     u"12",     u"99999999999", u"丁目",     u"ちょうめ", u"番地",   u"番",
      u"号",     u"ｺﾞｳ",    u"の",          u"-",        u"－",       u"ー",     u"ﾉ",
      u" ",      u"　",     u"\"",          u"'",        u"’",        u",",      u"ﾄｳｷｮｳﾄ",
      u"ﾁﾖﾀﾞｸ",  u"ﾏﾙﾉｳﾁ",  u"ビル",        u"ﾋﾞﾙ",      u"a",        u"Ａ",     u"一番町",
      u"\t",     u"市場",   u"ちよだ区"};
  const std::set<int16_t> codes = {kConverted,    kNoPrefecture, kNoCity, kNoTown,
                                   kEmptyAddress, kNoBlock,      kFailure};
  std::set<int16_t> seen;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 14);
  for (int i = 0; i < 1500; ++i) {
    std::u16string address;
    const int n = length(random);
    for (int k = 0; k < n; ++k)
      address += pieces[pick(random)];
    std::u16string out = u"stale";
    const int16_t code = d.recognizer->RecognizeAddress(address, out);
    ASSERT_TRUE(codes.count(code)) << code << " " << U8(address);
    seen.insert(code);
    ASSERT_EQ(code == kConverted, !out.empty()) << code << " " << U8(address);
    ASSERT_LE(d.recognizer->Result().LogCount, kMaxLogEntries) << U8(address);
    ASSERT_FALSE(d.database->CandidateRowsOpen && code == kConverted) << U8(address);
  }
  // The pieces reach every stage of the pipeline.
  for (int16_t code : {kConverted, kNoCity, kNoTown, kEmptyAddress, kFailure})
    EXPECT_TRUE(seen.count(code)) << code;
}

}  // namespace
}  // namespace mok::engine
