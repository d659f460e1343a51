#include "db/import/town_import.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <vector>

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/import/plane_projector.h"
#include "db/import/plane_zone.h"
#include "db/import/position_writer.h"

namespace mok::db {
namespace {

struct SourceTown {
  std::u16string prefecture, code, city, town, latitude, longitude;
  bool pointFromMainRow = false;  // the point is that of a row without 小字
};

std::vector<SourceTown> ReadTowns(const std::filesystem::path& file,
                                  const std::u16string& prefecture, TownImportReport& report) {
  CsvReader reader(file, TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  if (!reader.Next(fields))
    throw ImportError(PathText(file) + u": the file is empty");
  const CsvHeader header(fields, reader);
  const std::size_t prefCol = header.Require(u"都道府県名");
  const std::size_t codeCol = header.Require(u"市区町村コード");
  const std::size_t cityCol = header.Require(u"市区町村名");
  const std::size_t townCol = header.Require(u"大字町丁目名");
  const std::size_t koazaCol = header.Require(u"小字・通称名");
  const std::size_t latCol = header.Require(u"緯度");
  const std::size_t lonCol = header.Require(u"経度");

  ImportProgress progress("reading " + file.filename().string(), reader.FileSize());
  std::vector<SourceTown> towns;
  std::map<std::u16string, std::size_t> index;
  while (reader.Next(fields)) {
    progress.Update(reader.BytesRead());
    ++report.sourceRows;
    SourceTown row{text::Trim(FieldAt(fields, prefCol)), text::Trim(FieldAt(fields, codeCol)),
                   text::Trim(FieldAt(fields, cityCol)), text::Trim(FieldAt(fields, townCol)),
                   text::Trim(FieldAt(fields, latCol)),  text::Trim(FieldAt(fields, lonCol))};
    if (!PrefectureMatches(row.prefecture, prefecture))
      continue;
    if (row.prefecture.empty() || row.city.empty()) {
      throw ImportError(reader.Where() + u"the prefecture or municipality name is empty");
    }
    // A municipality whose addresses have no 大字 has nothing to look a town up by.
    if (row.town.empty()) {
      ++report.withoutTownName;
      continue;
    }
    if (row.code.empty())
      throw ImportError(reader.Where() + u"the municipality code is empty");
    double check = 0;
    if ((!row.latitude.empty() && !ParseDecimal(row.latitude, check)) ||
        (!row.longitude.empty() && !ParseDecimal(row.longitude, check))) {
      throw ImportError(reader.Where() + u"the latitude or longitude is not a number");
    }
    const bool mainRow = text::Trim(FieldAt(fields, koazaCol)).empty();
    row.pointFromMainRow = mainRow;
    const std::u16string key = row.prefecture + u'\x1f' + row.city + u'\x1f' + row.town;
    auto [it, added] = index.emplace(key, towns.size());
    if (added) {
      towns.push_back(std::move(row));
    } else if (mainRow && !towns[it->second].pointFromMainRow) {
      SourceTown& kept = towns[it->second];
      kept.latitude = row.latitude;
      kept.longitude = row.longitude;
      kept.pointFromMainRow = true;
    }
  }
  return towns;
}

BlockCoordinates Coordinates(const SourceTown& town, PlaneProjector& projector,
                             TownImportReport& report) {
  BlockCoordinates c;
  c.latitude = town.latitude;
  c.longitude = town.longitude;
  double lat = 0, lon = 0;
  if (!ParseDecimal(town.latitude, lat) || !ParseDecimal(town.longitude, lon)) {
    ++report.withoutZone;
    return c;
  }
  const auto zone = PlaneZone(town.prefecture, town.city, lat, lon);
  const auto xy = zone ? projector.ToPlane(*zone, lat, lon) : std::nullopt;
  if (!xy) {
    ++report.withoutZone;
    return c;
  }
  c.zone = text::FromUtf8(std::to_string(*zone));
  c.x = FormatMetres(xy->first);
  c.y = FormatMetres(xy->second);
  return c;
}

}  // namespace

std::u16string FormatMetres(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return text::FromUtf8(buffer);
}

bool ParseDecimal(std::u16string_view text, double& value) {
  std::string ascii;
  for (char16_t c : text) {
    if (c > 0x7F)
      return false;
    ascii += static_cast<char>(c);
  }
  if (ascii.empty())
    return false;
  const char* end = ascii.data() + ascii.size();
  const auto [ptr, ec] = std::from_chars(ascii.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool PrefectureMatches(std::u16string_view name, std::u16string_view filter) {
  if (filter.empty() || name == filter)
    return true;
  // Without its type character: 東京 selects 東京都.
  return name.size() == filter.size() + 1 && name.starts_with(filter) &&
         std::u16string_view(u"都道府県").find(name.back()) != std::u16string_view::npos;
}

TownImportReport ImportTowns(const std::filesystem::path& dir, const std::u16string& region,
                             const std::filesystem::path& file, const std::u16string& prefecture) {
  CheckRegionName(region);
  TownImportReport report;
  const std::vector<SourceTown> towns = ReadTowns(file, prefecture, report);
  if (towns.empty()) {
    throw ImportError(PathText(file) + u": no towns" +
                      (prefecture.empty() ? u"" : u" of " + prefecture) + u" in the file");
  }
  report.towns = static_cast<int64_t>(towns.size());

  report.regionId = ImportIntoRegion(dir, region, [&](Connection& db) {
    PositionWriter writer(db);
    PlaneProjector projector;
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
      writer.AddBlock(town, std::nullopt, Coordinates(source, projector, report));
      ++report.blockRows;
    }
    progress.Finish();
    report.townsAdded = writer.townsAdded();
    report.municipalities = static_cast<int64_t>(writer.municipalitiesTouched());
  });
  return report;
}

}  // namespace mok::db
