#include "engine/recognition/output_fields.h"

#include "engine/recognition/block_coordinates.h"
#include "engine/rules/fixed_tables.h"

namespace mok::engine {

std::u16string ComposeOutputFields(const Settings& settings, const AddressParts& parts,
                                   const BlockPosition& position,
                                   const std::vector<std::u16string>& log) {
  const std::size_t b = parts.BlockIndex();
  std::u16string out;
  if (settings.prefOut)
    out += parts.prefecture + u",";
  if (settings.cityOut)
    out += parts.Municipality() + u",";
  out += parts.townName;
  // Separate fields keep an empty block field, so the columns stay under their header.
  if (!settings.townCombine)
    out += u",";
  out += parts.numbers[b];
  if (settings.remainOut) {
    out += u",";
    out += parts.numbers[b + 1];
    // Every further number is kept (「1-2-3-4」 keeps its 4), joined by the full-width hyphen.
    for (std::size_t i = b + 2; i < kMaxTownParts && !parts.numbers[i].empty(); ++i) {
      out += u"－";
      out += parts.numbers[i];
    }
    out += parts.remainder;
  }
  if (settings.cityCodeOut)
    out += u"," + position.cityCode;
  if (settings.xyOut) {
    if (settings.coordNoOut)
      out += u"," + position.coordSystemNo;
    out += u"," + position.x + u"," + position.y;
  }
  if (settings.latLonOut)
    out += u"," + position.latitude + u"," + position.longitude;
  if (settings.levelOut)
    out += u"," + PointLevelText(position.reached);
  if (settings.logOut) {
    for (std::size_t i = 0; i < log.size() && i < kMaxLogEntries; ++i) {
      out += u",";
      if (i == 0)
        out += LoadFixedNames().logLabel;
      out += log[i];
    }
  }
  return out;
}

}  // namespace mok::engine
