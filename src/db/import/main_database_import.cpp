#include "db/import/main_database_import.h"

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/import/staged_database.h"
#include "db/schema.h"
#include "text/text.h"

namespace mok::db {
namespace {

MainDatabaseReport FillMainDatabase(Connection& db, const std::vector<PrefectureRow>& prefectures) {
  auto transaction = Transaction::Begin(db);
  Check(transaction, u"mok2.sqlite");
  Check(CreateMainSchema(db), u"mok2.sqlite");
  auto insert = db.Prepare(
      "insert into 都道府県名 (fldKanjiName, fldPrefType, fldKatakanaName) values (?, ?, ?)");
  Statement& st = *Check(insert, u"都道府県名");
  for (const PrefectureRow& row : prefectures) {
    st.Reset();
    st.BindText(1, row.name);
    if (row.type.empty()) {
      st.BindNull(2);
    } else {
      st.BindText(2, row.type);
    }
    st.BindText(3, row.kana);
    Check(st.Run(), u"都道府県名 " + row.name);
  }
  Check(CreateLookupIndexes(db), u"mok2.sqlite");
  Check(transaction->Commit(), u"mok2.sqlite");
  return {static_cast<int>(prefectures.size())};
}

}  // namespace

std::vector<PrefectureRow> ReadPrefectures(const std::filesystem::path& prefecturesCsv) {
  CsvReader reader(prefecturesCsv, TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  if (!reader.Next(fields)) {
    throw ImportError(PathText(prefecturesCsv) + u": the file is empty");
  }
  const CsvHeader header(fields, reader);
  const std::size_t kanji = header.Require(u"fldKanjiName");
  const std::size_t type = header.Require(u"fldPrefType");
  const std::size_t kana = header.Require(u"fldKatakanaName");
  std::vector<PrefectureRow> rows;
  while (reader.Next(fields)) {
    PrefectureRow row{text::Trim(FieldAt(fields, kanji)), text::Trim(FieldAt(fields, type)),
                      text::Trim(FieldAt(fields, kana))};
    if (row.name.empty())
      throw ImportError(reader.Where() + u"the prefecture name is empty");
    rows.push_back(std::move(row));
  }
  return rows;
}

MainDatabaseReport CreateMainDatabase(const std::filesystem::path& dir,
                                      const std::filesystem::path& prefecturesCsv, bool force) {
  const auto target = MainDatabaseFile(dir);
  std::error_code ec;
  if (std::filesystem::exists(target, ec) && !force) {
    throw ImportError(PathText(target) + u" already exists (use --force to replace it)");
  }
  MakeFolder(dir);
  const std::vector<PrefectureRow> prefectures = ReadPrefectures(prefecturesCsv);
  StagedDatabase staged(target);
  const MainDatabaseReport report = FillMainDatabase(staged.db(), prefectures);
  staged.Install();
  return report;
}

}  // namespace mok::db
