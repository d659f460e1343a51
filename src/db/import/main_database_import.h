// Creates the main database mok2.sqlite of a data folder: the prefecture names from the bundled
// prefectures.csv (code, fldKanjiName, fldPrefType, fldKatakanaName; UTF-8 with a header line),
// an empty region list ＤＢ一覧 and an empty learning dictionary 学習.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mok::db {

// One row of prefectures.csv.
struct PrefectureRow {
  std::u16string name;  // fldKanjiName, without its type: 東京
  std::u16string type;  // fldPrefType: 都, 道, 府 or 県 (may be empty)
  std::u16string kana;  // fldKatakanaName
  std::u16string FullName() const { return name + type; }  // 東京都, as addresses write it
};

// The rows of prefectures.csv in file order. Throws ImportError.
std::vector<PrefectureRow> ReadPrefectures(const std::filesystem::path& prefecturesCsv);

struct MainDatabaseReport {
  int prefectures = 0;
};

// Builds <dir>/mok2.sqlite (creating `dir` when missing). An existing database is replaced only
// when `force` is true; otherwise ImportError. The new file is built beside the old one and moved
// into place at the end, so a failure leaves the old database as it was.
MainDatabaseReport CreateMainDatabase(const std::filesystem::path& dir,
                                      const std::filesystem::path& prefecturesCsv,
                                      bool force = false);

}  // namespace mok::db
