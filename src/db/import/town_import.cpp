#include "db/import/town_import.h"

#include "db/import/import_support.h"
#include "db/import/position_writer.h"

namespace mok::db {

void AddTowns(Connection& db, std::span<const SourceTown> towns, TownImportReport& report) {
  PositionWriter writer(db);
  ImportProgress progress("importing towns", towns.size());
  for (std::size_t i = 0; i < towns.size(); ++i) {
    progress.Update(i);
    const SourceTown& source = towns[i];
    const auto town =
        writer.FindOrAddTown(source.prefecture, source.city, source.town, source.code);
    if (writer.HasBlocks(town)) {
      ++report.keptBlocks;
      continue;
    }
    writer.AddBlock(town, std::nullopt, source.point);
    ++report.blockRows;
  }
  progress.Finish();
  report.townsAdded += writer.townsAdded();
  report.municipalities += static_cast<int64_t>(writer.municipalitiesTouched());
}

TownImportReport ImportTowns(const std::filesystem::path& dir, const std::u16string& region,
                             const std::filesystem::path& file, const std::u16string& prefecture) {
  CheckRegionName(region);
  TownList list = ReadTownList(file, prefecture);
  if (list.towns.empty()) {
    throw ImportError(PathText(file) + u": no towns" +
                      (prefecture.empty() ? u"" : u" of " + prefecture) + u" in the file");
  }
  TownImportReport report;
  report.sourceRows = list.sourceRows;
  report.withoutTownName = list.withoutTownName;
  report.towns = static_cast<int64_t>(list.towns.size());
  report.withoutZone = ProjectTowns(list.towns);
  report.regionId =
      ImportIntoRegion(dir, region, [&](Connection& db) { AddTowns(db, list.towns, report); });
  return report;
}

}  // namespace mok::db
