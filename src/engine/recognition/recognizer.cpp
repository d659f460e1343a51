// The per-address pipeline: one address text in, a result code and the output fields out.
//
// 「東京都千代田区丸の内1丁目2番3号」 goes through the kana pre-pass (unchanged), the field split
// and cleaning, the prefecture and municipality steps (東京都, 千代田区, confirmed by the region
// database), the town split (丸の内, numbers １ ２ ３, remainder 号), the town lookup
// (丸の内一丁目: the chome went into the town name, so the block number is the second number) and
// the block lookup (codes and coordinates), and comes out as the fields the output settings choose.
#include "engine/recognition/recognizer.h"

#include "engine/rules/fixed_tables.h"

namespace mok::engine {

Recognizer::Recognizer(const Settings& settings, db::AddressDatabase& database)
    : settings_(settings), database_(database) {
  LoadFixedNames();
}

int16_t Recognizer::RecognizeAddress(const std::u16string& address, std::u16string& outputFields) {
  outputFields.clear();
  // Nothing of the previous address may reach this one's output.
  result_.Clear();
  fields_.Clear();
  database_.StartAddress();
  if (address.empty())
    return kEmptyAddress;
  std::u16string work = address;
  if (!KanaAddressToKanji(work))
    return kFailure;

  result_.OazaPrefixRemoved = false;
  fields_.Split(work, settings_.delimiter);
  if (fields_.FieldCount == 0)
    return kFailure;
  const std::u16string first = fields_.NextAddressField();

  int16_t code = SplitFirstField(first, result_.Prefecture, result_.CityParts, result_.TownName,
                                 result_.TownParts, result_.Remainder);
  if (code != kConverted)
    return code;
  if (result_.Prefecture.empty() && database_.StrSelectedRegion.empty())
    return kNoPrefecture;
  if (!database_.OpenRegionDatabase(database_.StrSelectedRegion))
    return kFailure;

  code = database_.LookupOazaChome(result_.Prefecture, result_.CityParts, result_.TownName,
                                   result_.TownParts[1], result_);
  if (code != kConverted)
    return code;

  // The town lookup decides whether the first number went into the town name.
  const std::u16string municipality = result_.CityParts[1] + result_.CityParts[2];
  const int b = result_.BlockIndex();
  if (!database_.LookupBlockCoordinates(result_.Prefecture, municipality, result_.TownName,
                                        result_.TownParts[b], result_)) {
    return kNoBlock;
  }
  outputFields = ComposeOutputFields();
  return kConverted;
}

int16_t Recognizer::SplitAddress(const std::u16string& firstField, std::u16string& prefecture,
                                 CityPartList& cityParts, std::u16string& townName,
                                 TownPartList& townParts, std::u16string& remainder) {
  // Called on its own, the text is the whole address: no field of an earlier address is appended.
  fields_.Clear();
  database_.StartAddress();
  return SplitFirstField(firstField, prefecture, cityParts, townName, townParts, remainder);
}

int16_t Recognizer::SplitFirstField(const std::u16string& firstField, std::u16string& prefecture,
                                    CityPartList& cityParts, std::u16string& townName,
                                    TownPartList& townParts, std::u16string& remainder) {
  prefecture.clear();
  cityParts[1].clear();
  cityParts[2].clear();
  townName.clear();
  remainder.clear();
  const int16_t code = SplitPrefectureAndMunicipality(firstField, prefecture, cityParts, townName);
  if (code != kConverted)
    return code;
  SplitTownAndNumbers(townName, townParts, remainder);
  if (cityParts[1].empty() && cityParts[2].empty())
    return kNoCity;
  if (townName.empty())
    return kNoTown;
  return kConverted;
}

std::u16string Recognizer::ComposeOutputFields() const {
  const AddressResult& r = result_;
  const int b = r.BlockIndex();
  std::u16string out;
  if (settings_.prefOut)
    out += r.Prefecture + u",";
  if (settings_.cityOut)
    out += r.CityParts[1] + r.CityParts[2] + u",";
  out += r.TownName;
  // Separate fields keep an empty block field, so the columns stay under their header.
  if (!settings_.townCombine)
    out += u",";
  out += r.TownParts[b];
  if (settings_.remainOut) {
    out += u",";
    out += r.TownParts[b + 1];
    // Every further number is kept (「1-2-3-4」 keeps its 4), joined by the full-width hyphen.
    for (int i = b + 2; i <= kMaxTownParts && !r.TownParts[i].empty(); ++i) {
      out += u"－";
      out += r.TownParts[i];
    }
    out += r.Remainder;
  }
  if (settings_.cityCodeOut)
    out += u"," + r.CityCode;
  if (settings_.xyOut) {
    if (settings_.coordNoOut)
      out += u"," + r.CoordSystemNo;
    out += u"," + r.CoordX + u"," + r.CoordY;
  }
  if (settings_.latLonOut)
    out += u"," + r.Latitude + u"," + r.Longitude;
  if (settings_.logOut) {
    const std::u16string_view label = LoadFixedNames().LogLabel;
    for (int i = 1; i <= r.LogCount && i <= kMaxLogEntries; ++i) {
      out += u",";
      if (i == 1)
        out += label;
      out += r.LogEntries[i];
    }
  }
  return out;
}

}  // namespace mok::engine
