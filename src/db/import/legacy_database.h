// A legacy database read table by table: the tables with their columns, then each table's rows
// with every value in its text form (Null kept apart from ""). The Access reader (libmdb)
// implements it; the conversion into SQLite works on this interface only.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mok::db {

struct LegacyColumn {
  enum class Kind { Text, Integer, Real, Other };
  std::u16string name;
  Kind kind = Kind::Other;
};

struct LegacyTable {
  std::u16string name;
  std::vector<LegacyColumn> columns;
};

using LegacyRow = std::vector<std::optional<std::u16string>>;

class LegacyDatabase {
 public:
  virtual ~LegacyDatabase() = default;
  // The user tables (no system tables), in the file's catalogue order.
  virtual std::vector<LegacyTable> Tables() = 0;
  // Calls `row` for every row of `table`, values in the order of its columns. Throws ImportError.
  virtual void ReadRows(const LegacyTable& table,
                        const std::function<void(const LegacyRow&)>& row) = 0;
};

// Opens an Access (.mdb) file. Throws ImportError when it cannot be read, or when this build has
// no Access reader.
std::unique_ptr<LegacyDatabase> OpenAccessDatabase(const std::filesystem::path& file);

}  // namespace mok::db
