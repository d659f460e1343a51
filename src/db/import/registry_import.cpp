#include "db/import/registry_import.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "db/import/import_support.h"
#include "db/import/plane_projector.h"
#include "db/import/registry_town_linker.h"
#include "db/import/residence_rowids.h"
#include "db/packed_point.h"
#include "db/schema.h"
#include "engine/rules/numerals.h"

namespace mok::db {
namespace {

void BindOrNull(Statement& st, int index, const std::u16string& value) {
  if (value.empty())
    st.BindNull(index);
  else
    st.BindText(index, value);
}

std::vector<std::pair<std::u16string, int64_t>> MostFirst(
    const std::map<std::u16string, int64_t>& counts) {
  std::vector<std::pair<std::u16string, int64_t>> list(counts.begin(), counts.end());
  std::stable_sort(list.begin(), list.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return list;
}

// Writes the rows of one import into one region database.
class RowWriter {
 public:
  RowWriter(Connection& db, const RegistryRows& rows, bool onlyHeld)
      : db_(db),
        rows_(rows),
        onlyHeld_(onlyHeld),
        linker_(db),
        municipality_(rows.towns.size()),
        town_(rows.towns.size()),
        linked_(rows.towns.size(), false) {}

  RegistryWriteReport Run() {
    for (RegistryKind kind : {RegistryKind::Residence, RegistryKind::Parcel, RegistryKind::Block})
      RemoveEarlier(kind);
    for (RegistryKind kind : {RegistryKind::Residence, RegistryKind::Parcel, RegistryKind::Block})
      Write(kind);
    blocks_.Write(db_, projector_, report_.blocks);
    report_.unmatchedTowns = MostFirst(unmatched_);
    report_.otherMunicipalities = MostFirst(other_);
    return std::move(report_);
  }

 private:
  RegistryKindReport& ReportOf(RegistryKind kind) { return report_.kinds[static_cast<int>(kind)]; }

  // The registry town's municipality and town in the region, looked up once per 町字.
  std::optional<std::size_t> MunicipalityOf(uint32_t town) {
    Link(town);
    return municipality_[town];
  }
  const LinkedTown* TownOf(uint32_t town) {
    Link(town);
    return town_[town];
  }
  void Link(uint32_t town) {
    if (linked_[town])
      return;
    linked_[town] = true;
    municipality_[town] = linker_.Municipality(rows_.towns[town]);
    if (municipality_[town])
      town_[town] = linker_.Find(*municipality_[town], rows_.towns[town]);
  }

  // Removes what an earlier import gave the municipalities of this import's `kind`.
  void RemoveEarlier(RegistryKind kind) {
    const RegistryKindRows& read = rows_.Of(kind);
    if (!read.present)
      return;
    const bool parcels = kind == RegistryKind::Parcel;
    auto remove = db_.Prepare(parcels ? "delete from 地番 where fldPositionID = ?"
                                      : "delete from 住居 where fldPositionID = ?");
    Statement& st = *Check(remove, parcels ? kParcelTable : kResidenceTable);
    // A residence's point goes before it.
    auto removePoints = db_.Prepare(
        "delete from 住居位置 where fldKey in (select rowid from 住居 where fldPositionID = ?)");
    Statement& points = *Check(removePoints, kResidencePointTable);
    for (const auto& [lgCode, town] : read.municipalities) {
      const auto municipality = MunicipalityOf(town);
      if (!municipality)
        continue;
      ++ReportOf(kind).municipalities;
      const auto& towns = linker_.Towns(*municipality);
      if (!parcels && blocksCleared_.insert(*municipality).second)
        RegistryBlocks::RemoveEarlier(db_, towns, report_.blocks);
      if (kind == RegistryKind::Block)
        continue;  // the residences stay
      for (const LinkedTown& linked : towns) {
        if (!parcels) {
          Check(points.BindInt(1, linked.id).Run(), kResidencePointTable);
          points.Reset();
        }
        st.BindInt(1, linked.id);
        Check(st.Run(), parcels ? kParcelTable : kResidenceTable);
        st.Reset();
        ReportOf(kind).replaced += db_.Changes();
      }
    }
  }

  // The town of `row`, or nullptr after counting why there is none.
  const LinkedTown* Place(RegistryKind kind, const RegistryRow& row) {
    const RegistryTown& names = rows_.towns[row.town];
    const auto municipality = MunicipalityOf(row.town);
    if (!municipality) {
      if (!onlyHeld_) {
        ++ReportOf(kind).otherRegion;
        ++other_[names.city + names.ward + u" (" + names.lgCode + u")"];
      }
      return nullptr;
    }
    const LinkedTown* town = TownOf(row.town);
    if (!town) {
      ++ReportOf(kind).unmatched;
      ++unmatched_[linker_.Name(*municipality) + u" " + names.oaza +
                   engine::DigitRunsToKanji(names.chome) + names.koaza];
    }
    return town;
  }

  // The residences' smallest rowid once the earlier rows are removed, nullopt when none is left.
  std::optional<int64_t> SmallestResidenceRowid() {
    auto st = db_.Prepare("select min(rowid) from 住居");
    Statement& min = *Check(st, kResidenceTable);
    ScopedReset reset(&min);
    auto row = min.Step();
    Check(row, kResidenceTable);
    return min.IsNull(0) ? std::nullopt : std::optional<int64_t>(min.Int(0));
  }

  void Write(RegistryKind kind) {
    const RegistryKindRows& read = rows_.Of(kind);
    Statement* insert = nullptr;
    Statement* insertPoint = nullptr;
    std::optional<ResidenceRowids> rowids;
    if (kind == RegistryKind::Residence) {
      auto residences = db_.Prepare(
          "insert into 住居 (fldPositionID, fld街区符号, fld住居番号, fld住居番号2, rowid) "
          "values (?,?,?,?,?)");
      insert = Check(residences, kResidenceTable);
      auto points = db_.Prepare("insert into 住居位置 (fldKey, fld位置) values (?,?)");
      insertPoint = Check(points, kResidencePointTable);
      rowids.emplace(SmallestResidenceRowid());
    } else if (kind == RegistryKind::Parcel) {
      auto parcels = db_.Prepare(
          "insert into 地番 (fldPositionID, fld本番, fld枝番, fld枝番2, fld座標系番号, "
          "fldＸ座標, fldＹ座標, fld緯度, fld経度) values (?,?,?,?,?,?,?,?,?)");
      insert = Check(parcels, kParcelTable);
    }
    ImportProgress progress(text::ToUtf8(u"writing " + std::u16string(KindName(kind)) + u"s"),
                            read.rows.size());
    for (std::size_t i = 0; i < read.rows.size(); ++i) {
      progress.Update(i);
      const RegistryRow& row = read.rows[i];
      const LinkedTown* town = Place(kind, row);
      if (!town)
        continue;
      if (kind == RegistryKind::Block) {
        blocks_.AddBlockPoint(*town, row.numbers[0], row.lat, row.lon, row.latitude, row.longitude);
        continue;
      }
      if (kind == RegistryKind::Residence)
        blocks_.AddResidence(*town, row.numbers[0], row.lat, row.lon);
      const BlockCoordinates c = ProjectRegistryPoint(
          projector_, *town, row.lat, row.lon, row.latitude, row.longitude, report_.withoutZone);
      insert->BindInt(1, town->id).BindText(2, row.numbers[0]);
      BindOrNull(*insert, 3, row.numbers[1]);
      BindOrNull(*insert, 4, row.numbers[2]);
      if (rowids) {
        const int64_t rowid = rowids->For(town->id, row.numbers[0], row.numbers[1], row.numbers[2]);
        insert->BindInt(5, rowid);
        insertPoint->BindInt(1, rowid).BindText(
            2, PackPoint({c.zone, c.x, c.y, c.latitude, c.longitude}));
        Check(insertPoint->Run(), kResidencePointTable);
        insertPoint->Reset();
      } else {
        BindOrNull(*insert, 5, c.zone);
        BindOrNull(*insert, 6, c.x);
        BindOrNull(*insert, 7, c.y);
        insert->BindText(8, c.latitude).BindText(9, c.longitude);
      }
      Check(insert->Run(), KindName(kind));
      insert->Reset();
      ++ReportOf(kind).stored;
    }
  }

  Connection& db_;
  const RegistryRows& rows_;
  bool onlyHeld_;
  RegistryTownLinker linker_;
  PlaneProjector projector_;
  RegistryBlocks blocks_;
  RegistryWriteReport report_;
  std::vector<std::optional<std::size_t>> municipality_;
  std::vector<const LinkedTown*> town_;
  std::vector<bool> linked_;
  std::set<std::size_t> blocksCleared_;
  std::map<std::u16string, int64_t> unmatched_, other_;
};

}  // namespace

RegistryWriteReport AddRegistryRows(Connection& db, const RegistryRows& rows,
                                    bool onlyHeldMunicipalities) {
  Check(CreateRegionSchema(db), u"region schema");
  return RowWriter(db, rows, onlyHeldMunicipalities).Run();
}

RegistryImportReport ImportRegistry(const std::filesystem::path& dir, const std::u16string& region,
                                    const std::vector<std::filesystem::path>& files) {
  CheckRegionName(region);
  const auto file = RegionDatabaseFile(dir, region);
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    throw ImportError(PathText(file) +
                      u" does not exist: import the region's towns first (mok2 db import-towns or "
                      u"mok2 db build-japan)");
  }
  const std::vector<RegistryFilePair> pairs = PairRegistryFiles(files);
  RegistryImportReport report;
  report.read = ReadRegistryFiles(pairs);
  report.regionId = ImportIntoRegion(
      dir, region, [&](Connection& db) { report.written = AddRegistryRows(db, report.read); });
  for (RegistryKindRows& kind : report.read.kinds)
    std::vector<RegistryRow>().swap(kind.rows);
  return report;
}

}  // namespace mok::db
