// What the recognition needs from the address data, declared by the engine and implemented by the
// database layer (db::AddressDatabase): the prefectures, the chosen region, the municipalities and
// town rows of the region, the points below a town (residences, parcels, blocks), learned words
// and postal names. Every query returns values; a failure comes back as a DbError naming the
// file, never as a message.
//
// The matching decisions (which municipality fits, which town row, which level below the town
// answers the numbers) are the engine's; the store only answers questions about stored rows. The
// one rule the store applies itself is the nearest block number, because it can choose it from
// the numbers in its index without reading the rows (FindNearestBlock).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result/db_result.h"

namespace mok::engine {

// One row of the prefecture list (都道府県名), with the name completed by its type (東京 + 都).
struct Prefecture {
  std::u16string name;        // 東京都
  std::u16string kana;        // ﾄｳｷｮｳ
  std::u16string kanaSuffix;  // ﾄ for 都, ﾌ for 府, ｹﾝ for 県, "" for 道
};

// The region a conversion runs against.
struct RegionSelection {
  std::u16string name;  // the region database's name, "" when none is chosen
  int16_t number = 0;  // its fldID in ＤＢ一覧 (0 when absent): the scope of local learned words
  std::u16string kana;  // the katakana prefecture name for kana addresses without one, or ""
};

// One POSITION row as the town step sees it.
struct TownRow {
  std::u16string prefecture;  // fld都道府県名
  std::u16string city;        // fld市区町村名
  std::u16string town;        // fld大字・町丁目
};

// Where the blocks of one town are stored, the town's municipality code, and which points below
// it the registry import stored (they tell how the town's numbers read).
struct TownPosition {
  std::u16string blockTable;   // fldTableName
  int64_t id = 0;              // fldID, the block rows' fldPositionID
  std::u16string cityCode;     // fld市区町村コード
  bool hasResidences = false;  // 住居 rows: a 住居表示 town (街区符号 + 住居番号)
  bool hasParcels = false;     // 地番 rows (本番 + 枝番)
};

// The point of a row below the town, its columns read as text as the tables store them (Null
// read as "").
struct StoredPoint {
  std::u16string coordSystemNo;  // fld座標系番号
  std::u16string x;              // fldＸ座標 (northing)
  std::u16string y;              // fldＹ座標 (easting)
  std::u16string latitude;       // fld緯度
  std::u16string longitude;      // fld経度
  bool operator==(const StoredPoint&) const = default;
};

// One row of a town's block table.
struct BlockPoint {
  std::optional<std::u16string> number;  // fld街区・番地; Null for the town's representative row
  StoredPoint point;
  // The registry import placed the block at the centre of its residences' points, having no
  // block point for it.
  bool derived = false;
};

// The kinds of learned words: replacements for prefecture names (stored, never looked up), for
// municipality names and for town names.
enum class WordKind : int { Prefecture = 1, City = 2, Town = 3 };

// One row of the learning dictionary (学習).
struct LearnedWord {
  int64_t id = 0;             // row id, for counting its use
  std::u16string registered;  // fld登録字句: the prefix it replaces
  std::u16string converted;   // fld変換字句: what it becomes
};

// The kanji names of a postal-code row.
struct PostalNames {
  std::u16string code;   // fld郵便番号
  std::u16string city;   // fld市区町村
  std::u16string place;  // fld地名
};

class AddressStore {
 public:
  virtual ~AddressStore() = default;

  // The prefecture list in table order.
  virtual const std::vector<Prefecture>& Prefectures() const = 0;
  // The chosen region (name "" when none).
  virtual const RegionSelection& Region() const = 0;
  // Whether the chosen region's database is open.
  virtual bool RegionOpen() const = 0;

  // A new address begins: rows read for the previous one may be checked once against the file.
  virtual void BeginAddress() = 0;
  // The distinct municipality names of the region's POSITION table, in table order.
  virtual DbResult<const std::vector<std::u16string>*> Municipalities() = 0;
  // The indexes into Municipalities() of the names that equal `name` or, with `endsWith`, that
  // end with it (ASCII letter case ignored), ascending.
  virtual DbResult<std::vector<std::size_t>> FindMunicipalities(std::u16string_view name,
                                                                bool endsWith) = 0;
  // The POSITION rows of Municipalities()[index], in table order.
  virtual DbResult<const std::vector<TownRow>*> TownRows(std::size_t index) = 0;
  // The POSITION rows of every municipality of the region whose town name begins with `start`
  // or with 大字 and `start` (ASCII letter case ignored), in table order: the towns of an
  // address written without its municipality.
  virtual DbResult<std::vector<TownRow>> FindTownsBeginning(std::u16string_view start) = 0;

  // The POSITION row of a town; nullopt when there is none.
  virtual DbResult<std::optional<TownPosition>> FindTownPosition(const std::u16string& prefecture,
                                                                 const std::u16string& city,
                                                                 const std::u16string& town) = 0;

  // Below the town: each answer is one search of an index holding the town and the numbers.
  // Numbers go in as the address wrote them (full-width or ASCII digits, leading zeros or none:
  // "０１" finds 1). nullopt when there is no such row.
  //
  // The residence 街区符号 `block` + 住居番号 `residence` [+ 住居番号2]; without `residence2` the
  // residence that has none comes first, else the first of its sub-numbers.
  virtual DbResult<std::optional<StoredPoint>> FindResidence(
      const TownPosition& town, std::u16string_view block, std::u16string_view residence,
      std::optional<std::u16string_view> residence2) = 0;
  // The parcel 本番 `main` [+ 枝番 [+ 枝番2]]; a number left out takes the parcel without it
  // first, else the first one with it (本番 alone: 100 before 100-1).
  virtual DbResult<std::optional<StoredPoint>> FindParcel(
      const TownPosition& town, std::u16string_view main, std::optional<std::u16string_view> branch,
      std::optional<std::u16string_view> branch2) = 0;
  // The first row (table order) of the town's block table, with `number` the first whose number
  // is it (ASCII letter case ignored).
  virtual DbResult<std::optional<BlockPoint>> FindBlock(
      const TownPosition& town, std::optional<std::u16string_view> number) = 0;
  // The block row nearest to `number`: rows with a plain number first, the smallest difference,
  // the earlier of two as near; a row without a plain number (the representative row, Null)
  // only when the town has no numbered one.
  virtual DbResult<std::optional<BlockPoint>> FindNearestBlock(const TownPosition& town,
                                                               int64_t number) = 0;

  // The learned word that applies to `word`: the registered word is a prefix of it; the region's
  // own words before the common ones, then the most used, then the oldest.
  virtual DbResult<std::optional<LearnedWord>> FindLearnedWord(WordKind kind,
                                                               std::u16string_view word) = 0;
  // Counts one more use of a learned word.
  virtual DbStatus CountLearnedWordUse(int64_t id) = 0;

  // The first postal row whose katakana names begin with the texts (with a place text), or whose
  // joined katakana names equal the city text (without one); ASCII letter case ignored.
  virtual DbResult<std::optional<PostalNames>> FindPostalNames(const std::u16string& cityKana,
                                                               const std::u16string& placeKana) = 0;
};

}  // namespace mok::engine
