// Known addresses against the Tokyo sample database (built by the sample-db target from the
// bundled open data, towns without block data: the block numbers are kept all the same). The share
// of the sample input that converts is the batch's SampleRun test.
#include <gtest/gtest.h>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(SampleDatabase, KnownAddresses) {
  db::AddressDatabase database;
  ASSERT_TRUE(database.Open(text::FromUtf8(MOK_SAMPLE_DB)).ok()) << "build the sample-db target";
  ASSERT_TRUE(database.ReloadRegionList().ok());
  ASSERT_TRUE(database.SelectRegion(u"東京都").ok());
  Settings settings;
  settings.prefOut = settings.cityOut = true;
  settings.townCombine = false;
  const Recognizer recognizer(settings);
  const std::pair<std::u16string, std::string> cases[] = {
      {u"東京都千代田区丸の内1-1-1", "0 東京都,千代田区,丸の内一丁目,１,13101,"},
      {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1", "0 東京都,千代田区,丸の内一丁目,１,13101,"},
      // The region is named like its prefecture: kana addresses may leave the prefecture out.
      {u"ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1", "0 東京都,千代田区,丸の内一丁目,１,13101,"},
      {u"東京都武蔵村山市中央３－２７－３", "0 東京都,武蔵村山市,中央三丁目,２７,13223,"},
      // Stored as 大字石畑: the 大字 form is tried after the written one.
      {u"東京都西多摩郡瑞穂町石畑1", "0 東京都,西多摩郡瑞穂町,大字石畑,１,13303,"},
      {u"中央区銀座1丁目2", "0 東京都,中央区,銀座一丁目,２,13102,"},
      // Tokyo has a 中央区 with a 銀座 too, but the address names another prefecture.
      {u"大阪府大阪市中央区銀座1丁目2", "2 "},
      {u"", "4 "}};
  for (const auto& [address, expected] : cases) {
    const Recognition r = recognizer.RecognizeAddress(address, database);
    const std::string shown = std::to_string(CodeNumber(r.code)) + " " + U8(r.outputFields);
    EXPECT_EQ(shown.substr(0, expected.size()), expected) << U8(address);
    EXPECT_TRUE(r.errors.empty()) << U8(address);
  }
}

}  // namespace
}  // namespace mok::engine
