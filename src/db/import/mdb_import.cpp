#include "db/import/mdb_import.h"

#include <set>

#include "db/import/import_support.h"
#include "db/schema.h"
#include "text/text.h"

namespace mok::db {
namespace {

bool HasTable(const std::vector<LegacyTable>& tables, std::u16string_view name) {
  for (const auto& t : tables) {
    if (text::EqualsFold(t.name, name))
      return true;
  }
  return false;
}

bool HasColumn(const LegacyTable& table, std::u16string_view name) {
  for (const auto& c : table.columns) {
    if (text::EqualsFold(c.name, name))
      return true;
  }
  return false;
}

std::string ColumnType(LegacyColumn::Kind kind) {
  switch (kind) {
    case LegacyColumn::Kind::Text:
      return " text collate nocase";
    case LegacyColumn::Kind::Integer:
      return " integer";
    case LegacyColumn::Kind::Real:
      return " real";
    case LegacyColumn::Kind::Other:
      break;
  }
  return "";
}

// The column names of a SQLite table, folded for comparison.
std::set<std::u16string> ExistingColumns(Connection& db, const std::u16string& table) {
  std::set<std::u16string> names;
  auto compiled = db.Compile("select name from pragma_table_info(?)");
  Statement& st = Check(compiled, table);
  st.BindText(1, table);
  while (true) {
    auto row = st.Step();
    if (!Check(row, table))
      break;
    names.insert(text::Fold(st.Text(0)));
  }
  return names;
}

// Makes `table` exist in `db` with at least the legacy table's columns.
void PrepareTable(Connection& db, const LegacyTable& table) {
  auto exists = db.TableExists(table.name);
  if (!Check(exists, table.name)) {
    if (HasColumn(table, u"fldPositionID")) {
      Check(CreateBlockTable(db, table.name), table.name);
    } else {
      std::string sql = "create table " + QuoteIdentifier(table.name) + " (";
      for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0)
          sql += ", ";
        sql += QuoteIdentifier(table.columns[i].name) + ColumnType(table.columns[i].kind);
      }
      Check(db.Execute(sql + ")"), table.name);
      return;
    }
  }
  const auto existing = ExistingColumns(db, table.name);
  for (const auto& column : table.columns) {
    if (existing.contains(text::Fold(column.name)))
      continue;
    Check(db.Execute("alter table " + QuoteIdentifier(table.name) + " add column " +
                     QuoteIdentifier(column.name) + ColumnType(column.kind)),
          table.name);
  }
}

int64_t CopyRows(Connection& db, LegacyDatabase& source, const LegacyTable& table) {
  if (table.columns.empty())
    return 0;
  std::string columns, marks;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    columns += (i > 0 ? ", " : "") + QuoteIdentifier(table.columns[i].name);
    marks += i > 0 ? ", ?" : "?";
  }
  auto compiled = db.Compile("insert into " + QuoteIdentifier(table.name) + " (" + columns +
                             ") values (" + marks + ")");
  Statement& st = Check(compiled, table.name);
  int64_t rows = 0;
  source.ReadRows(table, [&](const LegacyRow& row) {
    st.Reset();
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      if (i < row.size() && row[i]) {
        st.BindText(index, *row[i]);
      } else {
        st.BindNull(index);
      }
    }
    Check(st.Run(), table.name);
    ++rows;
  });
  return rows;
}

}  // namespace

MdbImportReport ConvertLegacyDatabase(const std::filesystem::path& dir, const std::u16string& name,
                                      LegacyDatabase& source) {
  MdbImportReport report;
  const std::vector<LegacyTable> tables = source.Tables();
  report.isMain = text::EqualsFold(name, u"mok2") || HasTable(tables, kPrefectureTable) ||
                  HasTable(tables, kRegionListTable);
  if (!report.isMain)
    CheckRegionName(name);
  report.target = report.isMain ? MainDatabaseFile(dir) : RegionDatabaseFile(dir, name);
  std::error_code ec;
  if (std::filesystem::exists(report.target, ec)) {
    throw ImportError(PathText(report.target) +
                      u" already exists (remove it first to convert the Access database again)");
  }
  std::filesystem::create_directories(dir, ec);
  auto temporary = report.target;
  temporary += ".new";
  std::filesystem::remove(temporary, ec);

  try {
    auto opened = Connection::Create(PathText(temporary));
    Connection& db = Check(opened, PathText(temporary));
    auto transaction = Transaction::Begin(db);
    Check(transaction, PathText(temporary));
    Check(report.isMain ? CreateMainSchema(db) : CreateRegionSchema(db), PathText(temporary));
    ImportProgress progress("converting tables", tables.size());
    for (std::size_t i = 0; i < tables.size(); ++i) {
      progress.Update(i);
      PrepareTable(db, tables[i]);
      report.rows += CopyRows(db, source, tables[i]);
      ++report.tables;
    }
    progress.Finish();
    Check(CreateLookupIndexes(db), PathText(temporary));
    Check(transaction->Commit(), PathText(temporary));
    db.Close();
  } catch (...) {
    std::filesystem::remove(temporary, ec);
    throw;
  }

  // A region is listed in the main database when there is one; the rename comes last so that a
  // failure to list it leaves nothing half done.
  std::optional<Connection> mainDb;
  std::optional<Transaction> listed;
  if (!report.isMain && std::filesystem::exists(MainDatabaseFile(dir), ec)) {
    mainDb.emplace(OpenMainDatabaseFile(dir));
    auto begun = Transaction::Begin(*mainDb);
    listed.emplace(std::move(Check(begun, u"mok2.sqlite")));
    report.regionId = RegisterRegion(*mainDb, name);
  }
  std::filesystem::rename(temporary, report.target, ec);
  if (ec) {
    const std::string reason = ec.message();
    std::filesystem::remove(temporary, ec);
    throw ImportError(u"cannot create " + PathText(report.target) + u": " + text::FromUtf8(reason));
  }
  if (listed)
    Check(listed->Commit(), u"mok2.sqlite");
  return report;
}

MdbImportReport ImportMdb(const std::filesystem::path& dir, const std::filesystem::path& file) {
  auto source = OpenAccessDatabase(file);
  return ConvertLegacyDatabase(dir, text::FromUtf8(file.stem().string()), *source);
}

}  // namespace mok::db
