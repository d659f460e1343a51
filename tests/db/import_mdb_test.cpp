// The conversion of a legacy Access database, through a legacy database held in memory: the known
// tables get the data tool's schema, anything else is copied as it is, Null stays Null, and a
// failure writes nothing.
#include <map>
#include <sstream>

#include "db/import/mdb_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

// Tables given as text: the column names separated by blanks (all of text columns), each row its
// values separated by "|" with NULL for Null. Reading fails at the row `failAt` (counted over all
// tables) when it is not negative.
struct MemoryDatabase : db::LegacyDatabase {
  MemoryDatabase& Add(const std::string& name, const std::string& columns, const Strings& rows) {
    tables.push_back({text::FromUtf8(name), {}});
    std::istringstream in(columns);
    for (std::string column; in >> column;)
      tables.back().columns.push_back({text::FromUtf8(column), db::LegacyColumn::Kind::Text});
    texts[name] = rows;
    return *this;
  }
  std::vector<db::LegacyTable> Tables() override { return tables; }
  void ReadRows(const db::LegacyTable& table,
                const std::function<void(const db::LegacyRow&)>& row) override {
    for (const std::string& line : texts[text::ToUtf8(table.name)]) {
      if (read++ == failAt)
        throw db::ImportError(u"read error");
      db::LegacyRow values;
      std::istringstream in(line);
      for (std::string value; std::getline(in, value, '|');)
        values.push_back(value == "NULL" ? std::nullopt : std::optional(text::FromUtf8(value)));
      row(values);
    }
  }
  std::vector<db::LegacyTable> tables;
  std::map<std::string, Strings> texts;
  int failAt = -1, read = 0;
};

// A region database: POSITION with a column of its own, a block table named after its
// municipality (known by its fldPositionID column) and POST.
MemoryDatabase LegacyRegion() {
  MemoryDatabase source;
  source
      .Add("POSITION",
           "fld都道府県名 fld市区町村名 fld大字・町丁目 fldTableName fldID "
           "fld市区町村コード fld備考",
           {"東京都|千代田区|丸の内一丁目|千代田区|1|13101|NULL",
            "東京都|NULL|大手町一丁目|千代田区|2|13101|x"})
      .Add("千代田区",
           "fldPositionID fld街区・番地 fld座標系番号 fldＸ座標 fldＹ座標 fld緯度 "
           "fld経度",
           {"1|3|9|-35327.3|-5986.0|NULL|NULL", "1|NULL|9|-35300|-5900|35.68|139.76"})
      .Add("POST", "fld郵便番号 fld市区町村 fld地名 fldシクチョウソン fldチメイ",
           {"1000005|千代田区|丸の内|ﾁﾖﾀﾞｸ|ﾏﾙﾉｳﾁ"});
  return source;
}

using ImportMdbTest = DataFolderTest;

// Every row comes back as it was, in the data tool's schema with any column or table of its own
// added. A region is listed in the main database; a source with the main tables becomes it.
TEST_F(ImportMdbTest, TablesKeepTheirRowsNullsAndExtraColumns) {
  MemoryDatabase regionTables = LegacyRegion(), mainTables;
  mainTables
      .Add("都道府県名", "fldKanjiName fldKatakanaName fldPrefType",
           {"東京|ﾄｳｷｮｳ|都", "北海道|ﾎｯｶｲﾄﾞｳ|NULL"})
      .Add("ＤＢ一覧", "fldDbName fldID", {"東京都|3"})
      .Add("学習", "fldDbNo fldType fld登録字句 fld変換字句 fld参照回数", {"0|2|千代田|NULL|4"})
      .Add("設定", "名前 値", {"a|1.5"});
  TempFolder other;
  for (auto [source, target] :
       {std::pair{&regionTables, region}, std::pair{&mainTables, other.path() / "mok2.sqlite"}}) {
    const auto report =
        db::ConvertLegacyDatabase(target.parent_path(), target.stem().u16string(), *source);
    EXPECT_EQ(report.target, target);
    EXPECT_EQ(report.isMain, source == &mainTables);
    for (const auto& [table, rows] : source->texts)
      EXPECT_EQ(Rows(target, "select * from \"" + table + "\""), rows) << table;
  }
  EXPECT_EQ(Rows(main, "select * from ＤＢ一覧"), Strings{"東京都|1"});
  // A column of its own compares text without regard to case too; the block table is indexed.
  EXPECT_EQ(Value(region, "select fldID from POSITION where fld備考 = 'X'"), "2");
  EXPECT_EQ(
      Value(region,
            "select count(*) from sqlite_master where tbl_name = '千代田区' and type = 'index'"),
      "1");
}

TEST_F(ImportMdbTest, FailuresWriteNothing) {
  MemoryDatabase source = LegacyRegion(), mainTables;
  source.failAt = 3;
  EXPECT_EQ(ImportFailure([&] { db::ConvertLegacyDatabase(dir, u"東京都", source); }),
            "read error");
  mainTables.Add("ＤＢ一覧", "fldDbName fldID", {});
  EXPECT_THAT(ImportFailure([&] { db::ConvertLegacyDatabase(dir, u"regions", mainTables); }),
              HasSubstr("mok2.sqlite already exists"));
  WriteBytes(dir / "東京都.mdb", "this is not a database");
  EXPECT_THAT(ImportFailure([&] { db::ImportMdb(dir, dir / "東京都.mdb"); }),
              HasSubstr("東京都.mdb"));
  EXPECT_FALSE(fs::exists(region));
  EXPECT_FALSE(fs::exists(region.string() + ".new"));
  EXPECT_EQ(Value(main, "select count(*) from ＤＢ一覧"), "0");
}

}  // namespace
}  // namespace mok::import_test
