#include "batch/region_place_names.h"

#include "db/region_database.h"

namespace mok::batch {

PlaceNames RegionPlaceNames(const db::AddressDatabase& database, const std::u16string& region) {
  PlaceNames names;
  for (const engine::Prefecture& prefecture : database.Prefectures())
    names.prefectures.push_back(prefecture.name);
  if (!database.IsOpen() || !db::IsRegionName(region))
    return names;
  auto opened = db::RegionDatabase::Open(db::RegionDatabasePath(database.Folder(), region));
  if (!opened)
    return names;
  if (const auto municipalities = (*opened)->Municipalities())
    names.municipalities = **municipalities;
  return names;
}

}  // namespace mok::batch
