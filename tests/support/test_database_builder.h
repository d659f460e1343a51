// Builds real address databases for tests in a temporary folder that is removed afterwards: the
// main database mok2.sqlite (prefecture names, region list, learning dictionary) and region
// databases <region>.sqlite (POSITION, block tables, POST), with the schema of the data tool and
// plain INSERTs. A std::nullopt value stores Null.
//
//   mok::test::TestDatabaseBuilder b;
//   b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
//   b.AddPosition(u"東京都", {u"東京都", u"千代田区", u"丸の内一丁目", u"T13101", 1, u"13101"});
//   b.AddBlock(u"東京都", u"T13101", {1, u"3", u"9", u"-35000.1", u"-6000.2", u"35.68",
//   u"139.76"}); settings.dbDir = b.Dir();
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/schema.h"
#include "temp_folder.h"
#include "text/text.h"

namespace mok::test {

using OptText = std::optional<std::u16string>;

// Readable UTF-8 for failure messages.
inline std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

struct PositionRow {
  OptText prefecture;
  OptText city;
  OptText town;
  OptText tableName;
  std::optional<int64_t> id;
  OptText cityCode;
};

struct BlockRow {
  std::optional<int64_t> positionId;
  OptText number;  // fld街区・番地
  OptText coordSystem;
  OptText x;
  OptText y;
  OptText latitude;
  OptText longitude;
};

struct PostRow {
  OptText code;
  OptText city;
  OptText place;
  OptText cityKana;
  OptText placeKana;
};

class TestDatabaseBuilder {
 public:
  TestDatabaseBuilder() = default;

  // The folder holding the databases, as Settings.dbDir takes it.
  std::u16string Dir() const { return folder_.Text(); }
  const TempFolder& folder() const { return folder_; }

  // The main database, created with its tables on first use.
  db::Connection& Main() {
    if (!main_) {
      main_ = Create(u"mok2.sqlite");
      Check(db::CreateMainSchema(*main_), "CreateMainSchema");
    }
    return *main_;
  }

  // A region database <name>.sqlite, created with POSITION and POST on first use.
  db::Connection& Region(const std::u16string& name) {
    auto& slot = regions_[name];
    if (!slot) {
      slot = Create(name + u".sqlite");
      Check(db::CreateRegionSchema(*slot), "CreateRegionSchema");
    }
    return *slot;
  }

  void AddPrefecture(const OptText& kanji, const OptText& kana, const OptText& type) {
    Insert(Main(),
           "insert into 都道府県名 (fldKanjiName, fldKatakanaName, fldPrefType) values (?,?,?)",
           {kanji, kana, type});
  }

  void AddRegion(const OptText& name, std::optional<int64_t> id) {
    auto st = Compile(Main(), "insert into ＤＢ一覧 (fldDbName, fldID) values (?, ?)");
    BindOpt(st, 1, name);
    BindOpt(st, 2, id);
    Check(st.Run(), "insert ＤＢ一覧");
  }

  void AddLearned(int64_t dbNo, int64_t type, const OptText& registered, const OptText& converted,
                  int64_t count = 0) {
    auto st = Compile(Main(),
                      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
                      " values (?, ?, ?, ?, ?)");
    st.BindInt(1, dbNo).BindInt(2, type).BindInt(5, count);
    BindOpt(st, 3, registered);
    BindOpt(st, 4, converted);
    Check(st.Run(), "insert 学習");
  }

  void AddPosition(const std::u16string& region, const PositionRow& row) {
    auto st = Compile(Region(region),
                      "insert into POSITION (fld都道府県名, fld市区町村名, fld大字・町丁目,"
                      " fldTableName, fldID, fld市区町村コード) values (?, ?, ?, ?, ?, ?)");
    BindOpt(st, 1, row.prefecture);
    BindOpt(st, 2, row.city);
    BindOpt(st, 3, row.town);
    BindOpt(st, 4, row.tableName);
    BindOpt(st, 5, row.id);
    BindOpt(st, 6, row.cityCode);
    Check(st.Run(), "insert POSITION");
  }

  // Creates the block table on first use.
  void AddBlockTable(const std::u16string& region, const std::u16string& table) {
    Check(db::CreateBlockTable(Region(region), table), "CreateBlockTable");
  }

  void AddBlock(const std::u16string& region, const std::u16string& table, const BlockRow& row) {
    AddBlockTable(region, table);
    auto st =
        Compile(Region(region), "insert into " + db::QuoteIdentifier(table) +
                                    " (fldPositionID, fld街区・番地, fld座標系番号, fldＸ座標,"
                                    " fldＹ座標, fld緯度, fld経度) values (?,?,?,?,?,?,?)");
    BindOpt(st, 1, row.positionId);
    BindOpt(st, 2, row.number);
    BindOpt(st, 3, row.coordSystem);
    BindOpt(st, 4, row.x);
    BindOpt(st, 5, row.y);
    BindOpt(st, 6, row.latitude);
    BindOpt(st, 7, row.longitude);
    Check(st.Run(), "insert block row");
  }

  void AddPost(const std::u16string& region, const PostRow& row) {
    Insert(Region(region),
           "insert into POST (fld郵便番号, fld市区町村, fld地名, fldシクチョウソン, fldチメイ)"
           " values (?, ?, ?, ?, ?)",
           {row.code, row.city, row.place, row.cityKana, row.placeKana});
  }

  // Runs any SQL on a database of the folder (for tables the helpers above do not cover).
  static void Exec(db::Connection& db, const std::string& sql) { Check(db.Execute(sql), sql); }

  // Closes every connection of the builder (the files stay).
  void CloseAll() {
    main_.reset();
    regions_.clear();
  }

 private:
  static void Check(const DbStatus& s, const std::string& what) {
    if (!s)
      ADD_FAILURE() << what << ": " << text::ToUtf8(s.error().Text());
  }

  std::unique_ptr<db::Connection> Create(const std::u16string& file) {
    auto c = db::Connection::Create(folder_.File(text::ToUtf8(file)));
    if (!c) {
      ADD_FAILURE() << "create " << text::ToUtf8(file) << ": " << text::ToUtf8(c.error().Text());
      return std::make_unique<db::Connection>();
    }
    // Test files need no protection against power loss; waiting for the disk would only slow
    // the tests down.
    Check(c->Execute("pragma synchronous = off"), "pragma");
    return std::make_unique<db::Connection>(std::move(*c));
  }

  static db::Statement Compile(db::Connection& db, const std::string& sql) {
    auto st = db.Compile(sql);
    if (!st) {
      ADD_FAILURE() << sql << ": " << text::ToUtf8(st.error().Text());
      return db::Statement();
    }
    return std::move(*st);
  }

  static void BindOpt(db::Statement& st, int index, const OptText& value) {
    if (value) {
      st.BindText(index, *value);
    } else {
      st.BindNull(index);
    }
  }
  static void BindOpt(db::Statement& st, int index, std::optional<int64_t> value) {
    if (value) {
      st.BindInt(index, *value);
    } else {
      st.BindNull(index);
    }
  }

  static void Insert(db::Connection& db, const std::string& sql,
                     const std::vector<OptText>& values) {
    auto st = Compile(db, sql);
    for (std::size_t i = 0; i < values.size(); ++i)
      BindOpt(st, static_cast<int>(i + 1), values[i]);
    Check(st.Run(), sql);
  }

  TempFolder folder_;
  std::unique_ptr<db::Connection> main_;
  std::map<std::u16string, std::unique_ptr<db::Connection>> regions_;
};

}  // namespace mok::test
