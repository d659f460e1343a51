// A small address database for the recognition and window tests, built in a temporary folder
// with the schema of the data tool: a few prefectures, one region "テスト" (number 5) whose
// POSITION rows are the towns a test adds, one block table per municipality, and an open
// AddressDatabase plus a Recognizer to recognise against it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/settings.h"
#include "support/recording_prompter.h"
#include "support/test_database_builder.h"
#include "text/text.h"

namespace mok::test {

inline constexpr char16_t kRegion[] = u"テスト";
inline constexpr int16_t kRegionNumber = 5;

// The pieces of a text between separators (one empty piece for an empty text).
inline std::vector<std::u16string> Words(std::u16string_view text, char16_t separator = u' ') {
  std::vector<std::u16string> words(1);
  for (char16_t c : text) {
    if (c == separator)
      words.emplace_back();
    else
      words.back().push_back(c);
  }
  return words;
}

class EngineDatabase {
 public:
  EngineDatabase() {
    // The files are thrown away after the test: no need to wait for the disk on every insert.
    TestDatabaseBuilder::Exec(b.Main(), "pragma synchronous = off");
    TestDatabaseBuilder::Exec(b.Region(kRegion), "pragma synchronous = off");
    // Prefectures in the order of the prefecture codes, as the data tool loads them.
    b.AddPrefecture(u"北海", u"ﾎｯｶｲﾄﾞｳ", u"道");
    b.AddPrefecture(u"千葉", u"ﾁﾊﾞ", u"県");
    b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
    b.AddPrefecture(u"三重", u"ﾐｴ", u"県");
    b.AddPrefecture(u"京都", u"ｷｮｳﾄ", u"府");
    b.AddPrefecture(u"大阪", u"ｵｵｻｶ", u"府");
    b.AddRegion(kRegion, kRegionNumber);
    b.Region(kRegion);
  }

  // A POSITION row with its block rows (block numbers; an empty list gives one row without a
  // number). Coordinates are made from the row's identifier so that tests can tell rows apart.
  int64_t AddTown(const std::u16string& prefecture, const std::u16string& city,
                  const std::u16string& town, const std::vector<std::u16string>& blocks = {u"1"}) {
    const int64_t id = ++lastId_;
    auto& table = tables_[city];
    if (table.empty())
      table = u"B" + text::FromUtf8(std::to_string(tables_.size()));
    const std::u16string code = u"C" + text::FromUtf8(std::to_string(id));
    b.AddPosition(kRegion, {prefecture, city, town, table, id, code});
    const std::u16string n = text::FromUtf8(std::to_string(id));
    if (blocks.empty()) {
      b.AddBlock(kRegion, table,
                 {id, std::nullopt, u"9", u"X" + n, u"Y" + n, u"LAT" + n, u"LON" + n});
    }
    for (const auto& block : blocks) {
      b.AddBlock(kRegion, table,
                 {id, block, u"9", u"X" + n + u"-" + block, u"Y" + n, u"LAT" + n, u"LON" + n});
    }
    return id;
  }

  void AddPost(const std::u16string& code, const std::u16string& city, const std::u16string& place,
               const std::u16string& cityKana, const std::u16string& placeKana) {
    b.AddPost(kRegion, {code, city, place, cityKana, placeKana});
  }

  // Opens the databases as a run does: main database, prefecture and region lists, the region
  // selected.
  void Open() {
    settings.dbDir = b.Dir();
    database = std::make_unique<db::AddressDatabase>();
    ASSERT_TRUE(database->Open(b.Dir()).ok());
    ASSERT_TRUE(database->ReloadRegionList().ok());
    ASSERT_TRUE(database->SelectRegion(kRegion).ok());
    recognizer = std::make_unique<engine::Recognizer>(settings);
  }

  // The recognizer's answer for `address` against the database.
  engine::Recognition Recognize(const std::u16string& address) const {
    return recognizer->RecognizeAddress(address, *database);
  }

  TestDatabaseBuilder b;
  Settings settings;
  RecordingPrompter prompter;
  std::unique_ptr<db::AddressDatabase> database;
  std::unique_ptr<engine::Recognizer> recognizer;

 private:
  int64_t lastId_ = 0;
  std::map<std::u16string, std::u16string> tables_;
};

}  // namespace mok::test
