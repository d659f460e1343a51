// Addresses made of random pieces of real ones: every call ends with one of the result codes,
// with output fields exactly when converted and at most ten log entries.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

TEST(Robustness, RandomPiecesOfAddresses) {
  test::EngineDatabase d;
  d.AddTown(u"東京都", u"千代田区", u"丸の内一丁目", {u"2", u"5"});
  d.AddTown(u"東京都", u"港区", u"六本木一丁目", {});
  d.AddTown(u"北海道", u"虻田郡倶知安町", u"北町");
  d.AddTown(u"東京都", u"市川市", u"市場");
  d.AddPost(u"1000005", u"千代田区", u"丸の内", u"ﾁﾖﾀﾞｸ", u"ﾏﾙﾉｳﾁ");
  d.b.AddLearned(0, 2, u"ちよだ", u"千代田");
  d.b.AddLearned(0, 3, u"ま", u"");  // a replacement that deletes
  d.b.AddLearned(0, 2, u"", u"区");  // applies to every municipality text
  d.Open();
  const std::vector<std::u16string> pieces = test::Words(
      u"東京都|北海道|東|千代田区|港区|虻田郡|倶知安町|市|区|郡|町|村|丸の内|大字|字|北町|1|２|十|"
      u"百|万|〇|99999999999|丁目|ちょうめ|番地|番|号|ｺﾞｳ|の|-|－|ー|ﾉ| |　|\"|'|,|ﾄｳｷｮｳﾄ|ﾁﾖﾀﾞｸ|"
      u"ﾏﾙﾉｳﾁ|ビル|a|Ａ|一番町|\t|市場|ちよだ区|千代田区丸の内1-2",
      u'|');
  std::set<ResultCode> seen;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  for (int i = 0; i < 1500; ++i) {
    std::u16string address;
    for (int n = static_cast<int>(random() % 15); n > 0; --n)
      address += pieces[pick(random)];
    const Recognition r = d.recognizer->RecognizeAddress(address);
    seen.insert(r.code);
    ASSERT_EQ(r.code == ResultCode::Converted, !r.outputFields.empty()) << test::U8(address);
    ASSERT_LE(r.log.size(), kMaxLogEntries) << test::U8(address);
  }
  // The pieces reach every stage of the pipeline.
  for (ResultCode code : {ResultCode::Converted, ResultCode::NoCity, ResultCode::NoTown,
                          ResultCode::EmptyAddress, ResultCode::Failure})
    EXPECT_TRUE(seen.count(code)) << CodeNumber(code);
}

}  // namespace
}  // namespace mok::engine
