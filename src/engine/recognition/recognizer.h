// The per-address recognition: turns one address text into a result code and the converted
// output fields, using the address database's lookups.
//
// One Recognizer serves one address at a time: its field list and its AddressResult belong to
// the address being recognised and are overwritten by the next. The steps are public because
// the correction dialog splits addresses with SplitAddress and the tests drive each step.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "db/address_database.h"
#include "engine/rules/address_fields.h"
#include "engine/rules/address_result.h"
#include "startup/settings.h"

namespace mok::engine {

// Result codes of RecognizeAddress.
enum ResultCode : int16_t {
  kConverted = 0,
  kNoPrefecture = 1,
  kNoCity = 2,
  kNoTown = 3,
  kEmptyAddress = 4,
  kNoBlock = 6,
  kFailure = -1,
};

using CityPartList = std::array<std::u16string, 3>;                  // [1], [2]
using TownPartList = std::array<std::u16string, kMaxTownParts + 1>;  // [1] .. [10]

class Recognizer {
 public:
  Recognizer(const Settings& settings, db::AddressDatabase& database);

  // Recognises `address`; `outputFields` is "" unless the code is 0.
  int16_t RecognizeAddress(const std::u16string& address, std::u16string& outputFields);

  // What the last call found (read before the next call).
  const AddressResult& Result() const { return result_; }

  // --- Prefecture and municipality -------------------------------------------------------------
  // The prefecture at the start of text, or "" with nextPos = 1.
  std::u16string FindPrefecture(std::u16string_view text, int32_t& nextPos);
  // 0 when a municipality was recognised (rest: the text after it), 2 when not.
  int16_t SplitPrefectureAndMunicipality(const std::u16string& firstField,
                                         std::u16string& prefecture, CityPartList& cityParts,
                                         std::u16string& rest);
  // Appends the next field to text and matches a municipality from pos on; text becomes the
  // joined text and pos the position after the municipality. The municipality or "".
  std::u16string FindMunicipality(std::u16string& text, int32_t& pos, std::u16string& prefecture,
                                  CityPartList& cityParts);
  std::u16string MatchMunicipality(const std::u16string& text, int32_t& pos,
                                   std::u16string& prefecture, CityPartList& cityParts);

  // --- Town name and numbers -----------------------------------------------------------------
  // text: the text after the municipality in, the town name out. Always true.
  bool SplitTownAndNumbers(std::u16string& text, TownPartList& townParts,
                           std::u16string& remainder);
  // Splits one address text on its own (the field list is emptied first, so nothing else is
  // appended): 0 complete, 2 no municipality, 3 empty town name. Used by the correction dialog.
  int16_t SplitAddress(const std::u16string& firstField, std::u16string& prefecture,
                       CityPartList& cityParts, std::u16string& townName, TownPartList& townParts,
                       std::u16string& remainder);

  // --- Katakana addresses --------------------------------------------------------------------
  // Rewrites an address written as a katakana reading into kanji through the postal table;
  // other addresses pass unchanged. False for a kana address that cannot be rewritten.
  bool KanaAddressToKanji(std::u16string& address);

  // The output fields of the current result, as the output settings choose them.
  std::u16string ComposeOutputFields() const;

  // The engine's field list (tests and the steps above read and prepare it).
  AddressFields& Fields() { return fields_; }
  AddressResult& MutableResult() { return result_; }

 private:
  // SplitAddress on the current field list, taking the fields after firstField as the address
  // continues over them.
  int16_t SplitFirstField(const std::u16string& firstField, std::u16string& prefecture,
                          CityPartList& cityParts, std::u16string& townName,
                          TownPartList& townParts, std::u16string& remainder);

  const Settings& settings_;
  db::AddressDatabase& database_;
  AddressFields fields_;
  AddressResult result_;
};

}  // namespace mok::engine
