// Prefecture and municipality recognition against a small region database.
#include <gtest/gtest.h>

#include <string>

#include "engine/recognition/recognizer.h"
#include "engine_test_db.h"

namespace mok::engine {
namespace {

using test::U8;

class MunicipalityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& d = db_;
    d.AddTown(u"東京都", u"港区", u"六本木一丁目");
    d.AddTown(u"東京都", u"町田市", u"原町田一丁目");
    d.AddTown(u"東京都", u"北区", u"赤羽一丁目");
    d.AddTown(u"大阪府", u"大阪市北区", u"梅田一丁目");
    d.AddTown(u"北海道", u"虻田郡倶知安町", u"北一条東");
    d.AddTown(u"北海道", u"虻田郡倶知安町", u"北町");
    d.AddTown(u"千葉県", u"船橋市", u"市場一丁目");
    d.AddTown(u"千葉県", u"市川市", u"八幡一丁目");
    d.AddTown(u"京都府", u"京都市中京区", u"二条通");
    d.AddTown(u"三重県", u"四日市市", u"諏訪町");
    d.Open();
  }

  // Splits one address text on its own; town is the whole text after the municipality.
  struct Split {
    int16_t code;
    std::u16string prefecture, city1, city2, town;
  };
  Split RunMunicipality(const std::u16string& address) {
    Split s;
    CityPartList city;
    db_.recognizer->Fields().Clear();
    s.code = db_.recognizer->SplitPrefectureAndMunicipality(address, s.prefecture, city, s.town);
    s.city1 = city[1];
    s.city2 = city[2];
    return s;
  }
  Split Run(const std::u16string& address) {
    Split s;
    CityPartList city;
    TownPartList parts;
    std::u16string remainder;
    s.code = db_.recognizer->SplitAddress(address, s.prefecture, city, s.town, parts, remainder);
    s.city1 = city[1];
    s.city2 = city[2];
    return s;
  }

  test::EngineDatabase db_;
};

TEST_F(MunicipalityTest, WorkedExamples) {
  struct Case {
    std::u16string address;
    std::u16string prefecture, city1, city2, town;
  };
  const Case cases[] = {
      {u"東京都港区六本木", u"東京都", u"港区", u"", u"六本木"},
      {u"大阪府大阪市北区梅田", u"大阪府", u"大阪市", u"北区", u"梅田"},
      {u"北海道虻田郡倶知安町北1条", u"北海道", u"虻田郡", u"倶知安町", u"北1条"},
      // 「船橋市市」 (the 市 of 市場) is tried first and not confirmed.
      {u"千葉県船橋市市場1丁目", u"千葉県", u"船橋市", u"", u"市場1丁目"},
      {u"京都府京都市中京区二条通", u"京都府", u"京都市", u"中京区", u"二条通"},
      // Two towns named in a county: the shorter candidate is tried first.
      {u"北海道虻田郡倶知安町北町1", u"北海道", u"虻田郡", u"倶知安町", u"北町1"},
      // Names holding another suffix are found through 市, which is tried first.
      {u"東京都町田市原町田1", u"東京都", u"町田市", u"", u"原町田1"},
      {u"三重県四日市市諏訪町", u"三重県", u"四日市市", u"", u"諏訪町"},
      {u"千葉県市川市八幡1", u"千葉県", u"市川市", u"", u"八幡1"},
      // Without a prefecture in the text the database supplies it.
      {u"港区六本木", u"東京都", u"港区", u"", u"六本木"},
      {u"倶知安町北町", u"北海道", u"虻田郡倶知安町", u"", u"北町"},
  };
  for (const auto& c : cases) {
    const Split s = RunMunicipality(c.address);
    EXPECT_EQ(s.code, kConverted) << U8(c.address);
    EXPECT_EQ(U8(s.prefecture), U8(c.prefecture)) << U8(c.address);
    EXPECT_EQ(U8(s.city1), U8(c.city1)) << U8(c.address);
    EXPECT_EQ(U8(s.city2), U8(c.city2)) << U8(c.address);
    EXPECT_EQ(U8(s.town), U8(c.town)) << U8(c.address);
  }
  // No try that failed on the way left anything in the log.
  EXPECT_EQ(db_.recognizer->Result().LogCount, 0);
}

TEST_F(MunicipalityTest, Failures) {
  struct Case {
    std::u16string address;
    int16_t code;
  };
  const Case cases[] = {
      {u"東京都渋谷区道玄坂1", kNoCity},  // not in the database
      {u"東京都六本木1-2", kNoCity},      // no suffix after the prefecture
      {u"東京都", kNoCity},
      {u"", kNoCity},
      {u"東京都港区", kNoTown},  // the town name is empty
      // A numeral opening the town with no later number to start the block: the town is empty.
      {u"東京都港区六本木", kNoTown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Run(c.address).code, c.code) << U8(c.address);
}

TEST_F(MunicipalityTest, SplitAddressGivesTownNumbersAndRemainder) {
  std::u16string prefecture, town, remainder;
  CityPartList city;
  TownPartList parts;
  ASSERT_EQ(db_.recognizer->SplitAddress(u"東京都町田市原町田1丁目2番3号ビル", prefecture, city,
                                         town, parts, remainder),
            kConverted);
  EXPECT_EQ(U8(town), "原町田");
  EXPECT_EQ(U8(parts[1]) + U8(parts[2]) + U8(parts[3]), "１２３");
  EXPECT_EQ(U8(remainder), "号ビル");
}

TEST_F(MunicipalityTest, PrefectureAloneInTheFirstFieldContinuesWithTheNextFields) {
  Recognizer& r = *db_.recognizer;
  r.Fields().Split(u"東京都,港区六本木1-1,ビル", u",");
  std::u16string prefecture;
  CityPartList city;
  std::u16string rest;
  ASSERT_EQ(r.SplitPrefectureAndMunicipality(r.Fields().NextAddressField(), prefecture, city, rest),
            kConverted);
  EXPECT_EQ(U8(prefecture), "東京都");
  EXPECT_EQ(U8(city[1]), "港区");
  EXPECT_EQ(U8(rest), "六本木1-1ビル");
}

TEST_F(MunicipalityTest, MunicipalitySplitOverTwoFields) {
  Recognizer& r = *db_.recognizer;
  r.Fields().Split(u"東京都町,田市原町田1", u",");
  std::u16string prefecture;
  CityPartList city;
  std::u16string rest;
  ASSERT_EQ(r.SplitPrefectureAndMunicipality(r.Fields().NextAddressField(), prefecture, city, rest),
            kConverted);
  EXPECT_EQ(U8(city[1]), "町田市");
  EXPECT_EQ(U8(rest), "原町田1");
}

TEST_F(MunicipalityTest, FindPrefecture) {
  Recognizer& r = *db_.recognizer;
  int32_t next = 99;
  EXPECT_EQ(U8(r.FindPrefecture(u"京都府京都市", next)), "京都府");
  EXPECT_EQ(next, 4);
  EXPECT_EQ(U8(r.FindPrefecture(u"港区", next)), "");
  EXPECT_EQ(next, 1);
}

TEST_F(MunicipalityTest, TenCountyCandidatesGiveTheCountyUp) {
  // Nine towns after the county are tried as county + town; ten are more than the candidate table
  // holds, the county is given up, and the municipality is found at 町 alone.
  db_.AddTown(u"北海道", u"余市郡余市町", u"黒川町");
  db_.Open();
  const Split nine = Run(u"北海道余市郡余市町" + std::u16string(7, u'町') + u"黒川町1");
  EXPECT_EQ(nine.code, kConverted);
  EXPECT_EQ(U8(nine.city1), "余市郡");
  EXPECT_EQ(U8(nine.city2), "余市町");
  const Split ten = Run(u"北海道余市郡余市町" + std::u16string(8, u'町') + u"黒川町1");
  EXPECT_EQ(ten.code, kConverted);
  EXPECT_EQ(U8(ten.city1), "余市郡余市町");
  EXPECT_EQ(U8(ten.city2), "");
}

}  // namespace
}  // namespace mok::engine
