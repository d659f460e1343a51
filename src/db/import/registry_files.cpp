#include "db/import/registry_files.h"

#include <algorithm>
#include <optional>

#include "db/import/import_error.h"

namespace mok::db {
namespace {

struct FileName {
  RegistryKind kind;
  bool position;
  std::string area;
};

// Longer prefixes first: mt_rsdtdsp_rsdt_pos_ would also match mt_rsdtdsp_rsdt_.
struct Prefix {
  const char* text;
  RegistryKind kind;
  bool position;
};
constexpr Prefix kPrefixes[] = {
    {"mt_rsdtdsp_rsdt_pos_", RegistryKind::Residence, true},
    {"mt_rsdtdsp_rsdt_", RegistryKind::Residence, false},
    {"mt_rsdtdsp_blk_pos_", RegistryKind::Block, true},
    {"mt_rsdtdsp_blk_", RegistryKind::Block, false},
    {"mt_parcel_pos_", RegistryKind::Parcel, true},
    {"mt_parcel_", RegistryKind::Parcel, false},
};

std::string Lower(std::string s) {
  for (char& c : s)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::optional<FileName> Classify(const std::filesystem::path& file) {
  std::string name = Lower(file.filename().string());
  for (const char* extension : {".zip", ".csv"}) {
    if (name.ends_with(extension))
      name.resize(name.size() - std::string_view(extension).size());
  }
  for (const Prefix& prefix : kPrefixes) {
    if (name.starts_with(prefix.text) && name.size() > std::string_view(prefix.text).size())
      return FileName{prefix.kind, prefix.position,
                      name.substr(std::string_view(prefix.text).size())};
  }
  return std::nullopt;
}

std::u16string Expected(const FileName& name) {
  const char16_t* master = name.kind == RegistryKind::Residence ? u"mt_rsdtdsp_rsdt_"
                           : name.kind == RegistryKind::Block   ? u"mt_rsdtdsp_blk_"
                                                                : u"mt_parcel_";
  const char16_t* position = name.kind == RegistryKind::Residence ? u"mt_rsdtdsp_rsdt_pos_"
                             : name.kind == RegistryKind::Block   ? u"mt_rsdtdsp_blk_pos_"
                                                                  : u"mt_parcel_pos_";
  return (name.position ? master : position) + text::FromUtf8(name.area);
}

}  // namespace

const char16_t* KindName(RegistryKind kind) {
  switch (kind) {
    case RegistryKind::Residence:
      return u"residence";
    case RegistryKind::Parcel:
      return u"parcel";
    case RegistryKind::Block:
      return u"block";
  }
  return u"";
}

std::vector<RegistryFilePair> PairRegistryFiles(const std::vector<std::filesystem::path>& files) {
  std::vector<RegistryFilePair> pairs;
  std::vector<std::pair<FileName, std::filesystem::path>> positions;
  for (const auto& file : files) {
    const auto name = Classify(file);
    if (!name) {
      throw ImportError(PathText(file) +
                        u": not a registry file this import reads (mt_rsdtdsp_rsdt_*, "
                        u"mt_rsdtdsp_rsdt_pos_*, mt_parcel_city*, mt_parcel_pos_city*, "
                        u"mt_rsdtdsp_blk_*, mt_rsdtdsp_blk_pos_*; .csv or .csv.zip)");
    }
    auto same = [&](const FileName& other) {
      return other.kind == name->kind && other.position == name->position &&
             other.area == name->area;
    };
    const bool twice =
        std::any_of(positions.begin(), positions.end(), [&](auto& p) { return same(p.first); }) ||
        std::any_of(pairs.begin(), pairs.end(), [&](const RegistryFilePair& p) {
          return same({p.kind, false, p.area});
        });
    if (twice)
      throw ImportError(PathText(file) + u": the same registry file is given twice");
    if (name->position)
      positions.emplace_back(*name, file);
    else
      pairs.push_back({name->kind, name->area, file, {}});
  }
  for (const auto& position : positions) {
    const FileName& name = position.first;
    auto it = std::find_if(pairs.begin(), pairs.end(), [&](const RegistryFilePair& p) {
      return p.kind == name.kind && p.area == name.area;
    });
    if (it == pairs.end()) {
      throw ImportError(PathText(position.second) + u": a position file without its master file (" +
                        Expected(name) + u".csv or .csv.zip); give both");
    }
    it->position = position.second;
  }
  for (const auto& pair : pairs) {
    if (pair.position.empty()) {
      throw ImportError(PathText(pair.master) + u": a master file without its position file (" +
                        Expected({pair.kind, false, pair.area}) + u".csv or .csv.zip); give both");
    }
  }
  return pairs;
}

}  // namespace mok::db
