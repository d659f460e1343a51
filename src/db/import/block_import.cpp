#include "db/import/block_import.h"

#include <map>
#include <set>
#include <utility>

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/import/position_writer.h"

namespace mok::db {
namespace {

// Column positions of the MLIT format.
enum Column : std::size_t {
  kPrefecture = 0,
  kCity = 1,
  kTown = 2,
  kBlock = 4,
  kZone = 5,
  kX = 6,
  kY = 7,
  kLatitude = 8,
  kLongitude = 9,
  kRepresentative = 11,
  kColumnCount = 14,
};

constexpr std::size_t kMaxBadNumbersListed = 10;

std::u16string CityKey(const std::u16string& prefecture, const std::u16string& city) {
  return prefecture + u'\x1f' + city;
}

// Municipality codes from a KEN_ALL file: (prefecture, municipality) -> code.
std::map<std::u16string, std::u16string> ReadCodes(const std::filesystem::path& file) {
  std::map<std::u16string, std::u16string> codes;
  CsvReader reader(file, TextEncoding::Cp932);
  std::vector<std::u16string> fields;
  while (reader.Next(fields)) {
    if (fields.size() < 9) {
      throw ImportError(reader.Where() + u"not a KEN_ALL line (fewer than 9 columns)");
    }
    const std::u16string code = text::Trim(fields[0]);
    if (code.empty())
      continue;
    codes.emplace(CityKey(text::Trim(fields[6]), text::Trim(fields[7])), code);
  }
  return codes;
}

std::u16string Clean(const std::vector<std::u16string>& fields, std::size_t column) {
  return text::Trim(FieldAt(fields, column));
}

// Whether the record is the header line; throws ImportError when it is a header of other
// columns than the published files' (大字・町丁目名 in some editions, 大字・丁目名 in others).
bool IsHeader(const std::vector<std::u16string>& fields, const CsvReader& reader) {
  if (Clean(fields, kPrefecture) != u"都道府県名")
    return false;
  static constexpr std::u16string_view kNames[kColumnCount] = {u"都道府県名",
                                                               u"市区町村名",
                                                               u"大字・丁目名",
                                                               u"小字・通称名",
                                                               u"街区符号・地番",
                                                               u"座標系番号",
                                                               u"Ｘ座標",
                                                               u"Ｙ座標",
                                                               u"緯度",
                                                               u"経度",
                                                               u"住居表示フラグ",
                                                               u"代表フラグ",
                                                               u"更新前履歴フラグ",
                                                               u"更新後履歴フラグ"};
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    const std::u16string name = Clean(fields, i);
    if (name == kNames[i] || (i == kTown && name == u"大字・町丁目名"))
      continue;
    throw ImportError(reader.Where() + u"not the header of 街区レベル位置参照情報: column " +
                      text::FromUtf8(std::to_string(i + 1)) + u" is \"" + name +
                      u"\", expected \"" + std::u16string(kNames[i]) + u"\"");
  }
  return true;
}

// The municipality's code: the one its towns have, else the one of the KEN_ALL file.
std::u16string CodeOf(const PositionWriter& writer,
                      const std::map<std::u16string, std::u16string>& codesFromFile,
                      const std::u16string& prefecture, const std::u16string& city) {
  std::u16string code = writer.KnownCode(prefecture, city);
  if (code.empty()) {
    if (auto it = codesFromFile.find(CityKey(prefecture, city)); it != codesFromFile.end())
      code = it->second;
  }
  return code;
}

void NoteBadNumber(BlockImportReport& report, const CsvReader& reader,
                   const std::vector<std::u16string>& fields) {
  ++report.skippedRows;
  if (report.badNumbers.size() < kMaxBadNumbersListed) {
    report.badNumbers.push_back(text::FromUtf8(std::to_string(reader.LineNumber())) + u": " +
                                Clean(fields, kBlock));
  }
}

}  // namespace

std::optional<std::u16string> NormaliseBlockNumber(std::u16string_view value) {
  const std::u16string narrow = text::ToNarrow(text::Trim(value));
  if (narrow.empty())
    return std::nullopt;
  for (char16_t c : narrow) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
  }
  const std::size_t first = narrow.find_first_not_of(u'0');
  return first == std::u16string::npos ? std::u16string(u"0") : narrow.substr(first);
}

BlockImportReport ImportBlocks(const std::filesystem::path& dir, const std::u16string& region,
                               const std::filesystem::path& file,
                               const std::filesystem::path& codesFile) {
  CheckRegionName(region);
  BlockImportReport report;
  CsvReader reader(file, TextEncoding::Cp932);
  const auto codesFromFile =
      codesFile.empty() ? std::map<std::u16string, std::u16string>() : ReadCodes(codesFile);

  report.regionId = ImportIntoRegion(dir, region, [&](Connection& db) {
    PositionWriter writer(db);

    std::set<std::u16string> unknown;
    // Blocks written by this import, with whether the row came from a representative (代表) line.
    std::map<std::pair<int64_t, std::u16string>, bool> written;
    std::set<int64_t> townsWithNewBlocks;
    ImportProgress progress("importing blocks", reader.FileSize());
    std::vector<std::u16string> fields;
    bool first = true;
    while (reader.Next(fields)) {
      progress.Update(reader.BytesRead());
      if (std::exchange(first, false) && IsHeader(fields, reader))
        continue;
      ++report.sourceRows;
      if (fields.size() < kColumnCount - 4) {
        throw ImportError(reader.Where() + u"expected " +
                          text::FromUtf8(std::to_string(kColumnCount)) + u" columns, found " +
                          text::FromUtf8(std::to_string(fields.size())));
      }
      const std::u16string prefecture = Clean(fields, kPrefecture);
      const std::u16string city = Clean(fields, kCity);
      const std::u16string townName = Clean(fields, kTown);
      if (prefecture.empty() || city.empty() || townName.empty()) {
        throw ImportError(reader.Where() + u"the prefecture, municipality or town name is empty");
      }
      const auto number = NormaliseBlockNumber(FieldAt(fields, kBlock));
      if (!number) {
        NoteBadNumber(report, reader, fields);
        continue;
      }
      const std::u16string code = CodeOf(writer, codesFromFile, prefecture, city);
      if (code.empty()) {
        ++report.skippedRows;
        if (unknown.insert(prefecture + u" " + city).second) {
          report.unknownMunicipalities.push_back(prefecture + u" " + city);
        }
        continue;
      }

      const auto town = writer.FindOrAddTown(prefecture, city, townName, code);
      if (townsWithNewBlocks.insert(town.id).second && !town.created) {
        report.representativesReplaced += writer.RemoveRepresentative(town);
      }
      const BlockCoordinates coordinates{Clean(fields, kZone), Clean(fields, kX), Clean(fields, kY),
                                         Clean(fields, kLatitude), Clean(fields, kLongitude)};
      const bool representative = Clean(fields, kRepresentative) == u"1";
      auto [it, fresh] = written.emplace(std::make_pair(town.id, *number), representative);
      if (!fresh) {
        // A block listed twice: the representative point of the block wins.
        if (representative && !it->second) {
          writer.UpdateBlock(town, *number, coordinates);
          it->second = true;
        }
        continue;
      }
      if (writer.UpdateBlock(town, *number, coordinates)) {
        ++report.blocksUpdated;
      } else {
        writer.AddBlock(town, *number, coordinates);
        ++report.blockRows;
      }
    }
    progress.Finish();
    if (report.sourceRows == 0)
      throw ImportError(PathText(file) + u": no block rows in the file");
    report.townsAdded = writer.townsAdded();
    report.municipalities = static_cast<int64_t>(writer.municipalitiesTouched());
  });
  return report;
}

}  // namespace mok::db
