// Reads Access/Jet files with mdbtools' libmdb (read-only; Jet 3 and 4). Jet 4 stores text as
// UTF-16 and libmdb hands it over as UTF-8; Jet 3 files store the code page of the system that
// wrote them, which for this system's data is CP932, so libmdb is told so unless the user has
// chosen otherwise (MDB_JET3_CHARSET).
#include "db/import/import_error.h"
#include "db/import/legacy_database.h"

#ifdef MOK_HAVE_MDB
#include <mdbtools.h>

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>
#endif

namespace mok::db {

#ifdef MOK_HAVE_MDB
namespace {

LegacyColumn::Kind KindOf(int mdbType) {
  switch (mdbType) {
    case MDB_TEXT:
    case MDB_MEMO:
      return LegacyColumn::Kind::Text;
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
      return LegacyColumn::Kind::Integer;
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
      return LegacyColumn::Kind::Real;
    default:
      return LegacyColumn::Kind::Other;
  }
}

class AccessDatabase : public LegacyDatabase {
 public:
  AccessDatabase(const std::filesystem::path& file, MdbHandle* mdb) : file_(file), mdb_(mdb) {}
  ~AccessDatabase() override { mdb_close(mdb_); }
  AccessDatabase(const AccessDatabase&) = delete;
  AccessDatabase& operator=(const AccessDatabase&) = delete;

  std::vector<LegacyTable> Tables() override {
    if (!mdb_read_catalog(mdb_, MDB_TABLE)) {
      throw ImportError(PathText(file_) + u": cannot read the table catalogue");
    }
    std::vector<LegacyTable> tables;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
      if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
        continue;
      MdbTableDef* table = mdb_read_table(entry);
      if (!table)
        continue;
      LegacyTable legacy{text::FromUtf8(entry->object_name), {}};
      mdb_read_columns(table);
      for (unsigned j = 0; j < table->num_cols; ++j) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, j));
        legacy.columns.push_back({text::FromUtf8(col->name), KindOf(col->col_type)});
      }
      mdb_free_tabledef(table);
      tables.push_back(std::move(legacy));
    }
    return tables;
  }

  void ReadRows(const LegacyTable& legacy,
                const std::function<void(const LegacyRow&)>& row) override {
    std::string name = text::ToUtf8(legacy.name);
    MdbTableDef* table = mdb_read_table_by_name(mdb_, name.data(), MDB_TABLE);
    if (!table)
      throw ImportError(PathText(file_) + u": cannot read table " + legacy.name);
    mdb_read_columns(table);
    mdb_rewind_table(table);
    const unsigned count = table->num_cols;
    std::vector<std::vector<char>> buffers(count, std::vector<char>(MDB_BIND_SIZE + 1));
    std::vector<int> lengths(count, 0);
    std::vector<bool> binary(count, false);
    for (unsigned j = 0; j < count; ++j) {
      auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, j));
      binary[j] = col->col_type == MDB_OLE || col->col_type == MDB_BINARY;
      mdb_bind_column(table, static_cast<int>(j + 1), buffers[j].data(), &lengths[j]);
    }
    LegacyRow values(count);
    while (mdb_fetch_row(table)) {
      for (unsigned j = 0; j < count; ++j) {
        // A Null value binds nothing (length 0); binary data has no text form.
        if (lengths[j] == 0 || binary[j]) {
          values[j].reset();
        } else {
          values[j] = text::FromUtf8(
              std::string_view(buffers[j].data(), strnlen(buffers[j].data(), MDB_BIND_SIZE)));
        }
      }
      row(values);
    }
    mdb_free_tabledef(table);
  }

 private:
  std::filesystem::path file_;
  MdbHandle* mdb_;
};

}  // namespace

std::unique_ptr<LegacyDatabase> OpenAccessDatabase(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    throw ImportError(u"cannot read " + PathText(file) + u": no such file");
  }
  setenv("MDB_JET3_CHARSET", "CP932", 0);
  MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
  if (!mdb)
    throw ImportError(PathText(file) + u": not an Access database that can be read");
  return std::make_unique<AccessDatabase>(file, mdb);
}

#else

std::unique_ptr<LegacyDatabase> OpenAccessDatabase(const std::filesystem::path& file) {
  throw ImportError(PathText(file) +
                    u": converting Access databases is not supported in this build (it needs "
                    u"mdbtools' libmdb)");
}

#endif

}  // namespace mok::db
