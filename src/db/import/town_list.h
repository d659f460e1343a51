// Reads a town list in the format of the Geolonia 住所データ CSV: a header line naming the columns
// 都道府県名, 市区町村コード, 市区町村名, 大字町丁目名, 小字・通称名 and the representative point
// (緯度/経度, in other editions 緯度（代表点）/経度（代表点）) among others; UTF-8 with or without
// a byte order mark, or CP932; plain or xz-compressed.
//
// Rows that differ only in 小字・通称名 are one town: 大島町 岡田 appears once per 小字 in the
// source and becomes one town; its point is that of the row without 小字, else the first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/import/position_writer.h"

namespace mok::db {

struct SourceTown {
  std::u16string prefecture, code, city, town;
  // Latitude/longitude as the file writes them; zone and X/Y once ProjectTowns has run.
  BlockCoordinates point;
  bool pointFromMainRow = false;  // the point is that of a row without 小字
};

struct TownList {
  std::vector<SourceTown> towns;  // in the order of their first row
  int64_t sourceRows = 0;         // data rows read
  int64_t withoutTownName = 0;    // rows without 大字町丁目名 (a municipality without 大字)
};

// Reads `file`, keeping the rows of `prefecture` (東京都, or 東京; "" = all). Throws ImportError
// naming the line on a row without prefecture, municipality or code, or with a point that is not
// a number.
TownList ReadTownList(const std::filesystem::path& file, std::u16string_view prefecture = {});

// Gives every town whose point is known its plane rectangular zone and X/Y (plane_zone.h,
// plane_projector.h). Returns how many towns got none (no point, or no zone known).
int64_t ProjectTowns(std::span<SourceTown> towns);

// Formats plane coordinates (metres) as stored: three decimals.
std::u16string FormatMetres(double value);

// Parses a decimal number of the source files (ASCII, e.g. 35.68156); false when the text is
// not one.
bool ParseDecimal(std::u16string_view text, double& value);

// Whether `name` (with its type, 東京都) is selected by the filter (東京都 or 東京; "" = all).
bool PrefectureMatches(std::u16string_view name, std::u16string_view filter);

}  // namespace mok::db
