// Which town of a region database (a POSITION row) a registry 町字 is. The registry names a town
// by its parts; the region stores one name per 大字・町丁目, with 丁目 in kanji:
//
//   lg_code 131059, 白山 + １丁目          -> 文京区 白山一丁目
//   lg_code 465054, 大字 "" + 小字 安房     -> 熊毛郡屋久島町 安房
//
// The municipality is the one whose code (fld市区町村コード) is the lg_code less its check digit,
// else the only one named city + ward (or ending with it: 熊毛郡屋久島町 for 屋久島町). The town is
// the first of these names the municipality has: 大字 + 丁目 + 小字, 大字 + 丁目, and with an
// empty 大字 the 小字 alone (+ 丁目); each also with a leading 大字 added or taken away.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/connection.h"
#include "db/import/registry_rows.h"

namespace mok::db {

struct LinkedTown {
  int64_t id = 0;        // POSITION.fldID
  std::u16string table;  // fldTableName, the town's block table
  std::u16string prefecture, city;
};

class RegistryTownLinker {
 public:
  // Reads the POSITION rows of `db`.
  explicit RegistryTownLinker(Connection& db);

  // The region's municipality of the 町字 (an index for the calls below), nullopt when the region
  // has none.
  std::optional<std::size_t> Municipality(const RegistryTown& town) const;
  // The town of the 町字 in that municipality; nullptr when it has none of the names.
  const LinkedTown* Find(std::size_t municipality, const RegistryTown& town) const;
  // Every town of the municipality.
  const std::vector<LinkedTown>& Towns(std::size_t municipality) const {
    return municipalities_[municipality].list;
  }
  // Prefecture and municipality as the region stores them: "東京都 文京区".
  std::u16string Name(std::size_t municipality) const;

 private:
  struct Area {
    std::u16string prefecture, city, code;
    std::unordered_map<std::u16string, LinkedTown> towns;
    std::vector<LinkedTown> list;
  };
  std::vector<Area> municipalities_;
  std::unordered_map<std::u16string, std::size_t> byCode_;
};

}  // namespace mok::db
