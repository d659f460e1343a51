// The per-address recognition: one address text in, one Recognition out (the result code, the
// parts of the address, the codes and coordinates of its point with the level it was found at,
// the conversion log and the output fields), using the address data through an AddressStore.
//
// A Recognizer is a read-only model: the settings, the fixed tables and the variant spellings.
// The address data comes with each call, as the store of the calling thread (a store's database
// connections and their caches serve one thread at a time), and what the steps hand each other
// lives in an AddressContext made for that one address. So one Recognizer serves any number of
// threads at once, each with its own store, and every answer is a value. Failures of the address
// data met on the way are part of the answer (Recognition::errors); the recognizer shows nothing.
//
//   Recognizer recognizer(settings);
//   Recognition r = recognizer.RecognizeAddress(u"東京都千代田区丸の内1-1-1", database);
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/address_store.h"
#include "engine/recognition/town_candidates.h"
#include "engine/recognition/town_match.h"
#include "result/db_result.h"
#include "startup/settings.h"

namespace mok::engine {

// Result codes of RecognizeAddress; the numbers are those the programs print and store.
enum class ResultCode : int16_t {
  Converted = 0,
  NoPrefecture = 1,  // no prefecture in the address and no region chosen
  NoCity = 2,        // no municipality of the region found
  NoTown = 3,        // no town (大字・町丁目) of the municipality found
  EmptyAddress = 4,
  // The extended matching found the town more than once for what the address says (a town
  // written without its municipality that several municipalities have, a number that may be
  // the chome or the block): it does not pick one.
  AmbiguousTown = 5,
    NoBlock = 6,  // the town was found but no point below it (no block row, none of the number)
  Failure = -1,
};

inline int16_t CodeNumber(ResultCode code) {
  return static_cast<int16_t>(code);
}

inline constexpr std::size_t kMaxTownParts = 10;
inline constexpr std::size_t kMaxLogEntries = 10;

// The parts an address was split into.
struct AddressParts {
  std::u16string prefecture;
  std::u16string city;  // the municipality, or the city of a ward (札幌市) or a county (余市郡)
  std::u16string ward;      // the ward of a city or the town/village of a county, or ""
  std::u16string townName;  // 大字・町丁目
  // The numbers after the town name (chome, block, lot…) in full-width digits; "" where none.
  std::array<std::u16string, kMaxTownParts> numbers;
  std::u16string remainder;        // what follows the numbers (号, a building name…)
  bool chomeInOaza = false;        // the first number is the chome, part of the town name
  std::u16string chomeSuffix;      // the 丁目 text after the first number, when written
  bool oazaPrefixRemoved = false;  // the town was written with a leading 大字

  std::u16string Municipality() const { return city + ward; }
  // The index of the block number in `numbers`: 1 when the first number is the chome, else 0.
  std::size_t BlockIndex() const { return chomeInOaza ? 1 : 0; }
};

// The row below the town whose point an address was given (block_coordinates.h).
enum class PointLevel : uint8_t {
  None,       // no point (the address was not converted)
  Town,       // the town's representative row
  Block,      // a row of the town's block table (街区 or 番地)
  Residence,  // a residence of the registry (住居表示: 街区符号 + 住居番号)
  Parcel,     // a parcel of the registry (地番: 本番 + 枝番)
};

// What the point of an address stands for.
struct PointReached {
  PointLevel level = PointLevel::None;
  // The row has the address's own numbers of its level: the residence of the 街区符号 and
  // 住居番号, the parcel of the 本番 and (when written) 枝番, the block of the block number.
  // Not so for a block found by the nearest number, a parcel found by its 本番 alone, or a
  // block taken for an address without a number.
  bool exact = false;
  std::u16string blockNumber;  // the stored number of the block row taken, full-width
};

// The codes and coordinates of the point found, and what it stands for.
struct BlockPosition {
  std::u16string cityCode;
  std::u16string coordSystemNo;
  std::u16string x;
  std::u16string y;
  std::u16string latitude;
  std::u16string longitude;
  PointReached reached;
};

struct Recognition {
  ResultCode code = ResultCode::Failure;
  AddressParts parts;
  BlockPosition position;
  std::vector<std::u16string> log;  // the conversion log, at most kMaxLogEntries entries
  std::u16string outputFields;      // the converted fields the settings choose; "" unless converted
  std::vector<DbError> errors;      // failures of the address data met on the way, in order
  // A learned word applied, but its use could not be counted (a read-only or full folder).
  std::optional<DbError> uncountedUse;
};

// What SplitAddress found: the code (Converted, NoCity or NoTown) and the parts.
struct AddressSplit {
  ResultCode code = ResultCode::NoCity;
  AddressParts parts;
};

struct AddressContext;
struct FixedTables;
class VariantFold;

class Recognizer {
 public:
  // The settings are read at every address, so a change applies to the next one; whoever shares
  // the recognizer between threads keeps them unchanged meanwhile.
  explicit Recognizer(const Settings& settings);

  // Recognises one address against `store`, the calling thread's own.
  Recognition RecognizeAddress(const std::u16string& address, AddressStore& store) const;

  // Splits one address text on its own into its parts, confirming the municipality against the
  // region of `store` but not the town (the correction dialog shows the parts).
  AddressSplit SplitAddress(const std::u16string& address, AddressStore& store) const;

 private:
  // The municipality as written and, once matched, as stored.
  struct CityParts {
    std::u16string prefecture;
    std::u16string city;
    std::u16string ward;
  };
  struct CityCandidates {
    bool found = false;
    CityParts parts;    // stored forms when found; else as the last try left them
    CityParts written;  // as written (or rewritten by a learned word), when found
    TownCandidates rows;
    int32_t next = 0;  // 1-based position after the municipality in the text
  };
  struct TextSplit {
    ResultCode code = ResultCode::NoCity;
    AddressParts parts;
    TownCandidates candidates;         // the town rows of the municipalities found
    CityParts writtenCity;             // the municipality as it was matched
    bool blockWordAfterFirst = false;  // a level word of the block follows the first number
    // The extended matching's: the text after the municipality the town was split from, and
    // the Kyoto street part taken out of it.
    std::u16string townText;
    std::u16string street;
    // The address names no municipality: the candidates are the region's towns that begin as
    // its town text does (rows held here).
    bool townOnly = false;
    std::vector<TownRow> townRows;
  };

  // The first field holds the start of the address; the context's fields hold what follows.
  TextSplit SplitFirstField(AddressContext& context, const std::u16string& firstField) const;
  // The town part of the address (`rest`, what follows the municipality) into the split.
  void SplitTownPart(AddressContext& context, std::u16string rest, TextSplit& split) const;
  // The extended matching's candidates for an address written without its municipality: the
  // towns of the region (of its prefecture, when written) that begin as its town text does.
  // False when there are none.
  bool FindTownsWithoutCity(AddressContext& context, const std::u16string& rest,
                            TextSplit& split) const;
  // The municipality in `text` from 1-based position pos on.
  CityCandidates MatchMunicipality(AddressContext& context, const std::u16string& text, int32_t pos,
                                   const std::u16string& prefecture) const;
  CityCandidates FindCityCandidates(AddressContext& context, CityParts parts) const;
  // The town step of the extended matching; the parts' numbers and remainder follow the reading
  // of the address that found the town.
  TownMatch MatchTownExtended(AddressContext& context, const TextSplit& split, AddressParts& parts,
                              const TownWordLookup& learned) const;
  // The indexes of the names the store's index finds for the parts (CityFits without
  // containment), ascending.
  static DbResult<std::vector<std::size_t>> FindCitiesIndexed(AddressStore& store,
                                                              const std::u16string& p1,
                                                              const std::u16string& p2);
  // The extended matching's municipality names: the indexes of the names that fit the parts
  // once variant spellings are folded, ascending.
  DbResult<std::vector<std::size_t>> FindCitiesFolded(AddressStore& store,
                                                      const std::vector<std::u16string>& names,
                                                      const std::u16string& p1,
                                                      const std::u16string& p2) const;
  // The prefecture and the parts in the stored spelling of the municipality of `row`; with no
  // part written, the stored municipality's city and ward (SplitStoredCity).
  static CityParts StoredParts(const CityParts& written, const TownRow& row);
  // The stored municipality of `row` as city and ward: 札幌市手稲区 -> 札幌市 + 手稲区, 余市郡
  // 余市町 -> 余市郡 + 余市町, 千代田区 alone.
  static CityParts SplitStoredCity(const TownRow& row);
  std::optional<std::u16string> KanaAddressToKanji(AddressContext& context,
                                                   const std::u16string& address) const;
  // The learned replacement of `word`: "" when none applies, nullopt on a failure.
  std::optional<std::u16string> LookupLearnedWord(AddressContext& context, WordKind kind,
                                                  const std::u16string& word) const;

  const Settings& settings_;
  const FixedTables& tables_;
  const VariantFold& variants_;
};

}  // namespace mok::engine
