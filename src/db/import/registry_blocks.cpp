#include "db/import/registry_blocks.h"

#include <cstdio>

#include "db/import/import_support.h"
#include "db/import/plane_projector.h"
#include "db/import/plane_zone.h"
#include "db/import/town_list.h"
#include "db/schema.h"

namespace mok::db {
namespace {

bool IsPlainNumber(const std::u16string& number) {
  if (number.empty())
    return false;
  for (char16_t c : number) {
    if (c < u'0' || c > u'9')
      return false;
  }
  return true;
}

// Degrees with the registry's nine decimals (about 0.1 mm).
std::u16string FormatDegrees(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9f", value);
  return text::FromUtf8(buffer);
}

}  // namespace

BlockCoordinates ProjectRegistryPoint(PlaneProjector& projector, const LinkedTown& town, double lat,
                                      double lon, const std::u16string& latitude,
                                      const std::u16string& longitude, int64_t& withoutZone) {
  BlockCoordinates c{{}, {}, {}, latitude, longitude};
  const auto zone = PlaneZone(town.prefecture, town.city, lat, lon);
  const auto xy = zone ? projector.ToPlane(*zone, lat, lon) : std::nullopt;
  if (!xy) {
    ++withoutZone;
    return c;
  }
  c.zone = text::FromUtf8(std::to_string(*zone));
  c.x = FormatMetres(xy->first);
  c.y = FormatMetres(xy->second);
  return c;
}

bool RegistryBlocks::Accept(const LinkedTown& town, const std::u16string& number) {
  if (!IsPlainNumber(number)) {
    ++withoutNumber_;
    return false;
  }
  if (town.table.empty()) {
    ++withoutTable_;
    return false;
  }
  return true;
}

void RegistryBlocks::AddBlockPoint(const LinkedTown& town, const std::u16string& number, double lat,
                                   double lon, const std::u16string& latitude,
                                   const std::u16string& longitude) {
  if (!Accept(town, number))
    return;
  Block& block = blocks_[{town.id, number}];
  block = Block{&town, latitude, longitude, lat, lon, 0};
}

void RegistryBlocks::AddResidence(const LinkedTown& town, const std::u16string& number, double lat,
                                  double lon) {
  if (!IsPlainNumber(number) || town.table.empty())
    return;  // the residence has its own point; the block is merely not derived
  Block& block = blocks_[{town.id, number}];
  if (!block.latitude.empty())
    return;  // the registry's own point wins
  block.town = &town;
  block.lat += lat;
  block.lon += lon;
  ++block.residences;
}

void RegistryBlocks::Write(Connection& db, PlaneProjector& projector, RegistryBlockCounts& counts) {
  counts.withoutNumber += withoutNumber_;
  counts.withoutTable += withoutTable_;
  auto mark = db.Prepare(
      "insert into 住居表示街区 (fldPositionID, fld街区・番地, fld導出) values (?, ?, ?)");
  Statement& marker = *Check(mark, kRegistryBlockTable);
  std::u16string readyTable;
  for (const auto& [key, block] : blocks_) {
    const LinkedTown& town = *block.town;
    if (town.table != readyTable) {
      // A table named in POSITION but missing (a legacy database) is made like the others.
      Check(CreateBlockTable(db, town.table), town.table);
      readyTable = town.table;
    }
    const std::string quoted = QuoteIdentifier(town.table);
    auto exists = db.Prepare("select 1 from " + quoted +
                             " where fldPositionID = ? and fld街区・番地 = ? limit 1");
    Statement& existing = *Check(exists, town.table);
    existing.BindInt(1, town.id).BindText(2, key.second);
    auto row = existing.Step();
    const bool kept = Check(row, town.table);
    existing.Reset();
    if (kept) {
      ++counts.kept;
      continue;
    }
    const bool derived = block.latitude.empty();
    const double lat = derived ? block.lat / static_cast<double>(block.residences) : block.lat;
    const double lon = derived ? block.lon / static_cast<double>(block.residences) : block.lon;
    const BlockCoordinates c = ProjectRegistryPoint(
        projector, town, lat, lon, derived ? FormatDegrees(lat) : block.latitude,
        derived ? FormatDegrees(lon) : block.longitude, counts.withoutZone);
    PositionWriter::InsertBlock(db, town.table, town.id, key.second, c);
    marker.BindInt(1, town.id).BindText(2, key.second).BindInt(3, derived ? 1 : 0);
    Check(marker.Run(), kRegistryBlockTable);
    marker.Reset();
    ++(derived ? counts.derived : counts.registry);
  }
}

void RegistryBlocks::RemoveEarlier(Connection& db, const std::vector<LinkedTown>& towns,
                                   RegistryBlockCounts& counts) {
  auto listed = db.Prepare("select fld街区・番地 from 住居表示街区 where fldPositionID = ?");
  Statement& numbers = *Check(listed, kRegistryBlockTable);
  auto unmark = db.Prepare("delete from 住居表示街区 where fldPositionID = ?");
  Statement& marks = *Check(unmark, kRegistryBlockTable);
  for (const LinkedTown& town : towns) {
    std::vector<std::u16string> written;
    numbers.BindInt(1, town.id);
    Check(EachRow(numbers, [&] { written.push_back(numbers.Text(0)); }), kRegistryBlockTable);
    numbers.Reset();
    if (written.empty())
      continue;
    auto remove = db.Prepare("delete from " + QuoteIdentifier(town.table) +
                             " where fldPositionID = ? and fld街区・番地 = ?");
    Statement& rows = *Check(remove, town.table);
    for (const auto& number : written) {
      rows.BindInt(1, town.id).BindText(2, number);
      Check(rows.Run(), town.table);
      rows.Reset();
      counts.removed += db.Changes();
    }
    marks.BindInt(1, town.id);
    Check(marks.Run(), kRegistryBlockTable);
    marks.Reset();
  }
}

}  // namespace mok::db
