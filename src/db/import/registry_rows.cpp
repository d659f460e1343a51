#include "db/import/registry_rows.h"

#include <algorithm>
#include <unordered_map>

#include "db/import/csv_reader.h"
#include "db/import/import_support.h"
#include "db/import/town_list.h"
#include "db/registry_number.h"

namespace mok::db {
namespace {

constexpr std::size_t kExamples = 5;

// The columns of each kind: the ids that join master and position rows, and the numbers.
struct KindColumns {
  std::vector<std::u16string_view> ids;
  std::vector<std::u16string_view> numbers;
  std::size_t required;  // the first numbers every row must have
};

const KindColumns& ColumnsOf(RegistryKind kind) {
  static const KindColumns kResidence{
      {u"lg_code", u"machiaza_id", u"blk_id", u"rsdt_id", u"rsdt2_id"},
      {u"blk_num", u"rsdt_num", u"rsdt_num2"},
      2};
  static const KindColumns kParcel{
      {u"lg_code", u"machiaza_id", u"prc_id"}, {u"prc_num1", u"prc_num2", u"prc_num3"}, 1};
  static const KindColumns kBlock{{u"lg_code", u"machiaza_id", u"blk_id"}, {u"blk_num"}, 1};
  switch (kind) {
    case RegistryKind::Residence:
      return kResidence;
    case RegistryKind::Parcel:
      return kParcel;
    case RegistryKind::Block:
      break;
  }
  return kBlock;
}

bool IsLgCode(std::u16string_view code) {
  if (code.size() != 6)
    return false;
  for (char16_t c : code) {
    if (c < u'0' || c > u'9')
      return false;
  }
  return true;
}

struct Point {
  std::u16string latitude, longitude;
  double lat = 0, lon = 0;
  bool used = false;
};

// Reads one master file and its position file into `out`.
class PairReader {
 public:
  // `towns` indexes out.towns by lg_code + machiaza_id across the pairs.
  PairReader(const RegistryFilePair& pair, RegistryRows& out,
             std::unordered_map<std::u16string, uint32_t>& towns)
      : pair_(pair),
        columns_(ColumnsOf(pair.kind)),
        out_(out),
        kind_(out.kinds[Index()]),
        towns_(towns) {}

  void Read() {
    kind_.present = true;
    ReadPositions();
    ReadMaster();
    for (const auto& entry : points_)
      kind_.positionsWithoutMaster += entry.second.used ? 0 : 1;
  }

 private:
  std::size_t Index() const { return static_cast<std::size_t>(pair_.kind); }

  // The header of `reader`'s file and the columns of `names` in it.
  static CsvHeader ReadHeader(CsvReader& reader, std::vector<std::u16string>& fields) {
    if (!reader.Next(fields))
      throw ImportError(PathText(reader.path()) + u": the file is empty");
    return CsvHeader(fields, reader);
  }
  static std::vector<std::size_t> Columns(const CsvHeader& header,
                                          const std::vector<std::u16string_view>& names) {
    std::vector<std::size_t> indexes;
    for (std::u16string_view name : names)
      indexes.push_back(header.Require(name));
    return indexes;
  }

  void Malformed(const CsvReader& reader, const std::u16string& why) {
    out_.malformed.Add(reader.Where() + why);
  }

  // The joined ids of a row, "" (after reporting it) when the row is malformed.
  std::string Key(const CsvReader& reader, const std::vector<std::u16string>& fields,
                  const CsvHeader& header, const std::vector<std::size_t>& ids) {
    if (fields.size() != header.size()) {
      Malformed(reader, text::FromUtf8(std::to_string(fields.size())) +
                            u" fields, the header has " +
                            text::FromUtf8(std::to_string(header.size())));
      return {};
    }
    const std::u16string& lgCode = fields[ids[0]];
    if (!IsLgCode(lgCode) || fields[ids[1]].empty()) {
      Malformed(reader, u"lg_code \"" + lgCode + u"\" or machiaza_id \"" + fields[ids[1]] +
                            u"\" is not an id");
      return {};
    }
    std::string key;
    for (std::size_t index : ids)
      key += text::ToUtf8(fields[index]) + '|';
    return key;
  }

  void ReadPositions() {
    CsvReader reader(pair_.position, TextEncoding::Utf8);
    std::vector<std::u16string> fields;
    const CsvHeader header = ReadHeader(reader, fields);
    const auto ids = Columns(header, columns_.ids);
    const std::size_t lonColumn = header.Require(u"rep_lon");
    const std::size_t latColumn = header.Require(u"rep_lat");
    const auto sridColumn = header.Find(u"rep_srid");
    ImportProgress progress("reading " + pair_.position.filename().string(), reader.FileSize());
    while (reader.Next(fields)) {
      progress.Update(reader.BytesRead());
      std::string key = Key(reader, fields, header, ids);
      if (key.empty())
        continue;
      Point point{text::Trim(fields[latColumn]), text::Trim(fields[lonColumn])};
      if (point.latitude.empty() && point.longitude.empty())
        continue;  // no point: its master row is counted as one without
      const std::u16string srid = sridColumn ? text::Trim(fields[*sridColumn]) : u"";
      if (!srid.empty() && srid != u"EPSG:6668") {
        Malformed(reader, u"the point is in " + srid + u", not EPSG:6668 (JGD2011)");
        continue;
      }
      if (!ParseDecimal(point.latitude, point.lat) || !ParseDecimal(point.longitude, point.lon) ||
          point.lat < -90 || point.lat > 90 || point.lon < -180 || point.lon > 180) {
        Malformed(reader, u"rep_lat \"" + point.latitude + u"\" and rep_lon \"" + point.longitude +
                              u"\" are not a point");
        continue;
      }
      if (!points_.emplace(std::move(key), std::move(point)).second)
        ++kind_.duplicatePositions;
    }
  }

  // The index of the row's 町字 in out_.towns, added when new.
  uint32_t Town(const std::vector<std::u16string>& fields, const std::vector<std::size_t>& names,
                const std::vector<std::size_t>& ids) {
    const std::u16string& lgCode = fields[ids[0]];
    const std::u16string key = lgCode + u'|' + fields[ids[1]];
    auto [it, added] = towns_.emplace(key, static_cast<uint32_t>(out_.towns.size()));
    if (added) {
      out_.towns.push_back({lgCode, text::Trim(fields[names[0]]), text::Trim(fields[names[1]]),
                            text::Trim(fields[names[2]]), text::Trim(fields[names[3]]),
                            text::Trim(fields[names[4]])});
    }
    kind_.municipalities.emplace(lgCode, it->second);
    return it->second;
  }

  void ReadMaster() {
    CsvReader reader(pair_.master, TextEncoding::Utf8);
    std::vector<std::u16string> fields;
    const CsvHeader header = ReadHeader(reader, fields);
    const auto ids = Columns(header, columns_.ids);
    const auto numbers = Columns(header, columns_.numbers);
    const auto names = Columns(header, {u"city", u"ward", u"oaza_cho", u"chome", u"koaza"});
    const auto abolition = header.Find(u"ablt_date");
    ImportProgress progress("reading " + pair_.master.filename().string(), reader.FileSize());
    while (reader.Next(fields)) {
      progress.Update(reader.BytesRead());
      ++kind_.masterRows;
      const std::string key = Key(reader, fields, header, ids);
      if (key.empty())
        continue;
      RegistryRow row;
      for (std::size_t i = 0; i < numbers.size(); ++i)
        row.numbers[i] = NormaliseRegistryNumber(fields[numbers[i]]);
      if (std::any_of(row.numbers.begin(), row.numbers.begin() + columns_.required,
                      [](const std::u16string& n) { return n.empty(); })) {
        Malformed(reader,
                  u"a number (" + std::u16string(columns_.numbers[0]) +
                      (columns_.required > 1 ? u", " + std::u16string(columns_.numbers[1]) : u"") +
                      u") is empty");
        continue;
      }
      row.town = Town(fields, names, ids);
      if (abolition && !text::Trim(fields[*abolition]).empty()) {
        ++kind_.abolished;
        continue;
      }
      auto point = points_.find(key);
      if (point == points_.end()) {
        ++kind_.withoutPosition;
        continue;
      }
      if (point->second.used) {
        Malformed(reader, u"the ids repeat those of an earlier row");
        continue;
      }
      point->second.used = true;
      row.latitude = point->second.latitude;
      row.longitude = point->second.longitude;
      row.lat = point->second.lat;
      row.lon = point->second.lon;
      kind_.rows.push_back(std::move(row));
    }
  }

  const RegistryFilePair& pair_;
  const KindColumns& columns_;
  RegistryRows& out_;
  RegistryKindRows& kind_;
  std::unordered_map<std::string, Point> points_;
  std::unordered_map<std::u16string, uint32_t>& towns_;
};

}  // namespace

void RegistryIssues::Add(std::u16string what) {
  ++count;
  if (examples.size() < kExamples)
    examples.push_back(std::move(what));
}

RegistryRows ReadRegistryFiles(const std::vector<RegistryFilePair>& pairs) {
  RegistryRows rows;
  std::unordered_map<std::u16string, uint32_t> towns;
  for (const RegistryFilePair& pair : pairs)
    PairReader(pair, rows, towns).Read();
  return rows;
}

}  // namespace mok::db
