// Writes towns and their blocks into a region database: POSITION rows (one per town of a
// municipality) and the block table of each municipality. Rows already in the database are found
// and reused, so importing towns and blocks in any order, or the same file twice, adds nothing
// twice.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "db/connection.h"

namespace mok::db {

// Coordinates of a block row; an empty text is stored as Null.
struct BlockCoordinates {
  std::u16string zone;  // fld座標系番号
  std::u16string x;     // fldＸ座標 (northing)
  std::u16string y;     // fldＹ座標 (easting)
  std::u16string latitude;
  std::u16string longitude;
};

class PositionWriter {
 public:
  // Reads the POSITION rows already in `db` (which must have the region tables).
  explicit PositionWriter(Connection& db);

  struct Town {
    int64_t id = 0;        // fldID
    std::u16string table;  // fldTableName
    bool created = false;  // added by this writer
  };

  // The municipality code stored for any town of (prefecture, city); "" when none.
  std::u16string KnownCode(const std::u16string& prefecture, const std::u16string& city) const;

  // The POSITION row of the town, added (with the municipality's block table) when missing.
  // `code` must not be empty; an existing row without a code gets it.
  Town FindOrAddTown(const std::u16string& prefecture, const std::u16string& city,
                     const std::u16string& town, const std::u16string& code);

  // Whether the town has any block row.
  bool HasBlocks(const Town& town);
  // Deletes the town's representative rows (those whose number is Null); returns how many.
  int RemoveRepresentative(const Town& town);
  // Adds a block row; `number` nullopt writes the representative row with a Null number.
  void AddBlock(const Town& town, const std::optional<std::u16string>& number,
                const BlockCoordinates& coordinates);
  // Overwrites the coordinates of the town's block `number`; false when it has no such row. A
  // row the registry import wrote becomes an ordinary row (its 住居表示街区 entry is removed), so
  // that importing the registry again leaves it.
  bool UpdateBlock(const Town& town, const std::u16string& number,
                   const BlockCoordinates& coordinates);

  // Adds a block row to `table`; `number` nullopt writes a Null number.
  static void InsertBlock(Connection& db, const std::u16string& table, int64_t positionId,
                          const std::optional<std::u16string>& number,
                          const BlockCoordinates& coordinates);

  int64_t townsAdded() const { return townsAdded_; }
  std::size_t municipalitiesTouched() const { return municipalities_.size(); }

 private:
  static std::u16string Key(const std::u16string& a, const std::u16string& b,
                            const std::u16string& c = {});
  std::u16string TableFor(const std::u16string& prefecture, const std::u16string& city,
                          const std::u16string& code);

  Connection& db_;
  std::map<std::u16string, Town> towns_;             // key: prefecture, city, town
  std::map<std::u16string, std::u16string> codes_;   // key: prefecture, city
  std::map<std::u16string, std::u16string> tables_;  // key: prefecture, city
  std::set<std::u16string> readyTables_;             // block tables known to exist
  std::set<std::u16string> municipalities_;
  int64_t nextId_ = 1;
  int64_t townsAdded_ = 0;
  bool registryBlocks_ = false;  // the database has the table 住居表示街区
};

}  // namespace mok::db
