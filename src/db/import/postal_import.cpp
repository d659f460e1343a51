#include "db/import/postal_import.h"

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"

namespace mok::db {
namespace {

constexpr std::size_t kKenAllColumns = 15;

std::set<PostalRecord> ExistingRecords(Connection& db) {
  std::set<PostalRecord> existing;
  auto compiled = db.Compile(
      "select fld郵便番号, fld市区町村, fld地名, fldシクチョウソン, fldチメイ from POST");
  Statement& st = Check(compiled, u"POST");
  while (true) {
    auto row = st.Step();
    if (!Check(row, u"POST"))
      break;
    existing.insert({st.Text(0), st.Text(1), st.Text(2), st.Text(3), st.Text(4)});
  }
  return existing;
}

}  // namespace

std::vector<KenAllLine> ReadKenAll(const std::filesystem::path& file) {
  CsvReader reader(file, TextEncoding::Cp932);
  ImportProgress progress("reading " + file.filename().string(), reader.FileSize());
  std::vector<KenAllLine> lines;
  std::vector<std::u16string> fields;
  while (reader.Next(fields)) {
    progress.Update(reader.BytesRead());
    if (fields.size() != kKenAllColumns) {
      throw ImportError(reader.Where() + u"expected 15 columns of the KEN_ALL format, found " +
                        text::FromUtf8(std::to_string(fields.size())));
    }
    lines.push_back({std::move(fields), reader.LineNumber()});
  }
  if (lines.empty())
    throw ImportError(PathText(file) + u": the file is empty");
  return lines;
}

int64_t AddPostalRecords(Connection& db, const std::vector<PostalRecord>& records,
                         const std::set<PostalRecord>& skip) {
  auto insert = db.Prepare(
      "insert into POST (fld郵便番号, fld市区町村, fld地名, fldシクチョウソン, fldチメイ) "
      "values (?, ?, ?, ?, ?)");
  Statement& st = *Check(insert, u"POST");
  ImportProgress progress("importing postal codes", records.size());
  int64_t added = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    progress.Update(i);
    const PostalRecord& r = records[i];
    if (skip.contains(r))
      continue;
    st.Reset();
    st.BindText(1, r.postalCode).BindText(2, r.city).BindText(3, r.place);
    st.BindText(4, r.cityKana).BindText(5, r.placeKana);
    Check(st.Run(), u"POST");
    ++added;
  }
  return added;
}

PostalImportReport ImportPostal(const std::filesystem::path& dir, const std::u16string& region,
                                const std::filesystem::path& file) {
  CheckRegionName(region);
  PostalImportReport report;
  const std::vector<KenAllLine> lines = ReadKenAll(file);
  report.sourceLines = static_cast<int64_t>(lines.size());
  const KenAllCleaning cleaned = CleanKenAll(lines);
  report.joinedLines = cleaned.joinedLines;
  report.droppedOthers = cleaned.droppedOthers;
  report.duplicates = cleaned.duplicates;
  report.wholeMunicipality = cleaned.wholeMunicipality;

  report.regionId = ImportIntoRegion(dir, region, [&](Connection& db) {
    report.records = AddPostalRecords(db, cleaned.records, ExistingRecords(db));
    report.alreadyPresent = static_cast<int64_t>(cleaned.records.size()) - report.records;
  });
  return report;
}

}  // namespace mok::db
