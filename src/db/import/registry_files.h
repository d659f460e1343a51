// Which Address Base Registry file is which, and which of them belong together. The registry
// serves every table as a master file (the names and numbers) and a position file (the points),
// each zipped, named by table and area:
//
//   mt_rsdtdsp_rsdt_pref13.csv.zip      residences (住居表示-住居) of Tokyo
//   mt_rsdtdsp_rsdt_pos_pref13.csv.zip  their points
//   mt_parcel_city302015.csv.zip        parcels (地番) of 和歌山市; mt_parcel_pos_city302015 the
//   points mt_rsdtdsp_blk_city131059.csv       blocks (住居表示-街区);
//   mt_rsdtdsp_blk_pos_city131059 the points
//
// A master and a position file pair when they are of the same table and area; the rows of the
// two are joined by their ids.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mok::db {

enum class RegistryKind { Residence, Parcel, Block };

struct RegistryFilePair {
  RegistryKind kind;
  std::string area;  // "pref13", "city302015"
  std::filesystem::path master;
  std::filesystem::path position;
};

// The pairs of `files` (.csv or .csv.zip, any order), in the order of their master files. Throws
// ImportError naming the file when a name is not one of the registry's tables read here, when a
// file is given twice, or when a position file lacks its master or a master its position file.
std::vector<RegistryFilePair> PairRegistryFiles(const std::vector<std::filesystem::path>& files);

// "residence", "parcel", "block", for messages.
const char16_t* KindName(RegistryKind kind);

}  // namespace mok::db
