// The rows of Address Base Registry files, read for an import: each master row joined with its
// position row by their ids, and an account of what could not be used.
//
//   mt_rsdtdsp_rsdt_pref13:      131059,0001001,001,001,,文京区,,白山,１丁目,,,1,1,,...
//   mt_rsdtdsp_rsdt_pos_pref13:
//   131059,0001001,001,001,,1,1,139.752436911,35.715149108,EPSG:6668,...
//   -> the residence 1-1 of the 町字 文京区 白山 １丁目 at 35.715149108 N 139.752436911 E
//
// The ids are lg_code + machiaza_id + blk_id + rsdt_id + rsdt2_id for residences, lg_code +
// machiaza_id + prc_id for parcels and lg_code + machiaza_id + blk_id for blocks. Columns are
// found by their header names, so their order and columns this import does not read do not
// matter. A row the import cannot use is counted, never dropped silently: a malformed row (named
// with its file and line), a master row without a point, a point without a master row, a point
// listed twice (the first is kept), an abolished row (廃止日 set).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "db/import/registry_files.h"

namespace mok::db {

// A 町字 as the registry writes it: 文京区 | "" | 白山 | １丁目 | "".
struct RegistryTown {
  std::u16string lgCode;  // 6 digits, the municipality's code with its check digit
  std::u16string city, ward, oaza, chome, koaza;
};

struct RegistryRow {
  uint32_t town = 0;  // index into RegistryRows::towns
  // As NormaliseRegistryNumber writes them, "" where absent: residences 街区符号, 住居番号,
  // 住居番号2; parcels 本番, 枝番, 枝番2; blocks 街区符号.
  std::array<std::u16string, 3> numbers;
  std::u16string latitude, longitude;  // as the position file writes them (EPSG:6668)
  double lat = 0, lon = 0;
};

// Rows that could not be read: how many, and the first few as "<file> line <n>: <why>".
struct RegistryIssues {
  int64_t count = 0;
  std::vector<std::u16string> examples;
  void Add(std::u16string what);
};

struct RegistryKindRows {
  bool present = false;           // files of this kind were given
  std::vector<RegistryRow> rows;  // master rows with a point
  int64_t masterRows = 0;         // data rows of the master files
  int64_t withoutPosition = 0;    // master rows without a point
  int64_t positionsWithoutMaster = 0;
  int64_t duplicatePositions = 0;  // position rows whose ids an earlier one had
  int64_t abolished = 0;
  // The municipalities of the master rows (with or without a point), by lg_code, each with one
  // of its towns for its names.
  std::map<std::u16string, uint32_t> municipalities;
};

struct RegistryRows {
  std::vector<RegistryTown> towns;  // one per lg_code + machiaza_id
  std::array<RegistryKindRows, 3> kinds;
  RegistryIssues malformed;
  const RegistryKindRows& Of(RegistryKind kind) const { return kinds[static_cast<int>(kind)]; }
};

// Reads every pair. Throws ImportError when a file cannot be read or decoded or lacks a column
// this import needs.
RegistryRows ReadRegistryFiles(const std::vector<RegistryFilePair>& pairs);

}  // namespace mok::db
