// The result record of the one address being recognised: its parts, codes, coordinates and
// conversion log. The recognition steps and the database lookups fill it; the composition of the
// output fields and the correction dialog read it. Arrays are 1-based in the address rules, so
// index 0 of each array is unused: CityParts[1], TownParts[1..10], LogEntries[1..10].
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mok::engine {

inline constexpr int kMaxTownParts = 10;
inline constexpr int kMaxLogEntries = 10;

struct AddressResult {
  std::u16string Prefecture;
  std::array<std::u16string, 3> CityParts;                  // [1] city, [2] ward / town of county
  std::u16string TownName;                                  // 大字・町丁目
  std::array<std::u16string, kMaxTownParts + 1> TownParts;  // full-width digits
  std::u16string Remainder;
  bool ChomeInOaza = false;
  std::u16string ChomeSuffix;
  bool OazaPrefixRemoved = false;
  std::u16string CityCode;
  std::u16string CoordSystemNo;
  std::u16string CoordX;
  std::u16string CoordY;
  std::u16string Latitude;
  std::u16string Longitude;
  std::array<std::u16string, kMaxLogEntries + 1> LogEntries;
  int16_t LogCount = 0;

  // Appends a log entry. An eleventh entry for one address is a failure: returns false and
  // leaves the log unchanged (the caller turns it into the failure of the lookup that logged).
  bool AddLog(const std::u16string& entry) {
    if (LogCount >= kMaxLogEntries)
      return false;
    LogEntries[++LogCount] = entry;
    return true;
  }

  // Starts the record afresh for a new address.
  void Clear() { *this = AddressResult{}; }

  // Index of the block number in TownParts: 2 when the first number is the chome, else 1.
  int BlockIndex() const { return ChomeInOaza ? 2 : 1; }
};

}  // namespace mok::engine
