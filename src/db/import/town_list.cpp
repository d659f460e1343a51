#include "db/import/town_list.h"

#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/import/plane_projector.h"
#include "db/import/plane_zone.h"

namespace mok::db {

TownList ReadTownList(const std::filesystem::path& file, std::u16string_view prefecture) {
  CsvReader reader(file, TextEncoding::Detect);
  std::vector<std::u16string> fields;
  if (!reader.Next(fields))
    throw ImportError(PathText(file) + u": the file is empty");
  const CsvHeader header(fields, reader);
  const std::size_t prefCol = header.Require(u"都道府県名");
  const std::size_t codeCol = header.Require(u"市区町村コード");
  const std::size_t cityCol = header.Require(u"市区町村名");
  const std::size_t townCol = header.Require(u"大字町丁目名");
  const std::size_t koazaCol = header.Require(u"小字・通称名");
  const std::size_t latCol = header.Require({u"緯度", u"緯度（代表点）"});
  const std::size_t lonCol = header.Require({u"経度", u"経度（代表点）"});

  ImportProgress progress("reading " + file.filename().string(), reader.FileSize());
  TownList list;
  std::unordered_map<std::u16string, std::size_t> index;
  while (reader.Next(fields)) {
    progress.Update(reader.BytesRead());
    ++list.sourceRows;
    auto field = [&](std::size_t column) { return text::Trim(FieldAt(fields, column)); };
    SourceTown row{field(prefCol), field(codeCol), field(cityCol), field(townCol), {}};
    row.point.latitude = field(latCol);
    row.point.longitude = field(lonCol);
    if (!PrefectureMatches(row.prefecture, prefecture))
      continue;
    if (row.prefecture.empty() || row.city.empty()) {
      throw ImportError(reader.Where() + u"the prefecture or municipality name is empty");
    }
    // A municipality whose addresses have no 大字 has nothing to look a town up by.
    if (row.town.empty()) {
      ++list.withoutTownName;
      continue;
    }
    if (row.code.empty())
      throw ImportError(reader.Where() + u"the municipality code is empty");
    double check = 0;
    if ((!row.point.latitude.empty() && !ParseDecimal(row.point.latitude, check)) ||
        (!row.point.longitude.empty() && !ParseDecimal(row.point.longitude, check))) {
      throw ImportError(reader.Where() + u"the latitude or longitude is not a number");
    }
    const bool mainRow = field(koazaCol).empty();
    row.pointFromMainRow = mainRow;
    const std::u16string key = row.prefecture + u'\x1f' + row.city + u'\x1f' + row.town;
    auto [it, added] = index.emplace(key, list.towns.size());
    if (added) {
      list.towns.push_back(std::move(row));
    } else if (mainRow && !list.towns[it->second].pointFromMainRow) {
      SourceTown& kept = list.towns[it->second];
      kept.point = std::move(row.point);
      kept.pointFromMainRow = true;
    }
  }
  return list;
}

int64_t ProjectTowns(std::span<SourceTown> towns) {
  PlaneProjector projector;
  int64_t withoutZone = 0;
  for (SourceTown& town : towns) {
    BlockCoordinates& c = town.point;
    double lat = 0, lon = 0;
    const bool located = ParseDecimal(c.latitude, lat) && ParseDecimal(c.longitude, lon);
    const auto zone = located ? PlaneZone(town.prefecture, town.city, lat, lon) : std::nullopt;
    const auto xy = zone ? projector.ToPlane(*zone, lat, lon) : std::nullopt;
    if (!xy) {
      ++withoutZone;
      continue;
    }
    c.zone = text::FromUtf8(std::to_string(*zone));
    c.x = FormatMetres(xy->first);
    c.y = FormatMetres(xy->second);
  }
  return withoutZone;
}

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

}  // namespace mok::db
