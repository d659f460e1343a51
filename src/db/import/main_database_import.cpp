#include "db/import/main_database_import.h"

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/schema.h"
#include "text/text.h"

namespace mok::db {
namespace {

MainDatabaseReport FillMainDatabase(Connection& db, const std::filesystem::path& prefecturesCsv) {
  MainDatabaseReport report;
  CsvReader reader(prefecturesCsv, TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  if (!reader.Next(fields)) {
    throw ImportError(PathText(prefecturesCsv) + u": the file is empty");
  }
  const CsvHeader header(fields, reader);
  const std::size_t kanji = header.Require(u"fldKanjiName");
  const std::size_t type = header.Require(u"fldPrefType");
  const std::size_t kana = header.Require(u"fldKatakanaName");

  auto transaction = Transaction::Begin(db);
  Check(transaction, u"mok2.sqlite");
  Check(CreateMainSchema(db), u"mok2.sqlite");
  auto insert = db.Prepare(
      "insert into 都道府県名 (fldKanjiName, fldPrefType, fldKatakanaName) values (?, ?, ?)");
  Statement& st = *Check(insert, u"都道府県名");
  while (reader.Next(fields)) {
    const std::u16string name = text::Trim(FieldAt(fields, kanji));
    const std::u16string prefType = text::Trim(FieldAt(fields, type));
    if (name.empty())
      throw ImportError(reader.Where() + u"the prefecture name is empty");
    st.Reset();
    st.BindText(1, name);
    if (prefType.empty()) {
      st.BindNull(2);
    } else {
      st.BindText(2, prefType);
    }
    st.BindText(3, text::Trim(FieldAt(fields, kana)));
    Check(st.Run(), reader.Where());
    ++report.prefectures;
  }
  Check(CreateLookupIndexes(db), u"mok2.sqlite");
  Check(transaction->Commit(), u"mok2.sqlite");
  return report;
}

}  // namespace

MainDatabaseReport CreateMainDatabase(const std::filesystem::path& dir,
                                      const std::filesystem::path& prefecturesCsv, bool force) {
  const auto target = MainDatabaseFile(dir);
  std::error_code ec;
  if (std::filesystem::exists(target, ec) && !force) {
    throw ImportError(PathText(target) + u" already exists (use --force to replace it)");
  }
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    throw ImportError(u"cannot create the folder " + PathText(dir) + u": " +
                      text::FromUtf8(ec.message()));
  }
  auto temporary = target;
  temporary += ".new";
  std::filesystem::remove(temporary, ec);

  MainDatabaseReport report;
  try {
    auto opened = Connection::Create(PathText(temporary));
    Connection& db = Check(opened, PathText(temporary));
    report = FillMainDatabase(db, prefecturesCsv);
    db.Close();
  } catch (...) {
    std::filesystem::remove(temporary, ec);
    throw;
  }
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    const std::string reason = ec.message();
    std::filesystem::remove(temporary, ec);
    throw ImportError(u"cannot replace " + PathText(target) + u": " + text::FromUtf8(reason));
  }
  return report;
}

}  // namespace mok::db
