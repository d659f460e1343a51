// The names that make a value look like an address (address_field_proposal.h), from the address
// data: the prefectures of the main database and the municipalities of a region.
#pragma once

#include <string>

#include "batch/address_field_proposal.h"
#include "db/address_database.h"

namespace mok::batch {

// The prefecture names of `database`, and the municipality names of `region` read through a
// connection of its own, so that the region chosen for a run is left as it is (also during a
// run). Without a region database (no region, a name that is none, a file that does not open)
// the prefectures alone.
PlaceNames RegionPlaceNames(const db::AddressDatabase& database, const std::u16string& region);

}  // namespace mok::batch
