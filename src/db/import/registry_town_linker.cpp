#include "db/import/registry_town_linker.h"

#include <map>

#include "db/import/import_support.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::db {
namespace {

// The names a 町字 may be stored under, most specific first.
std::vector<std::u16string> TownNames(const RegistryTown& town) {
  const std::u16string chome = engine::DigitRunsToKanji(town.chome);
  std::vector<std::u16string> names;
  if (!town.oaza.empty()) {
    if (!town.koaza.empty())
      names.push_back(town.oaza + chome + town.koaza);
    names.push_back(town.oaza + chome);
  } else if (!town.koaza.empty()) {
    names.push_back(town.koaza + chome);
  }
  const std::size_t plain = names.size();
  constexpr std::u16string_view kOaza = u"大字";
  for (std::size_t i = 0; i < plain; ++i) {
    const std::u16string& name = names[i];
    names.push_back(name.starts_with(kOaza) ? name.substr(kOaza.size())
                                            : std::u16string(kOaza) + name);
  }
  return names;
}

}  // namespace

RegistryTownLinker::RegistryTownLinker(Connection& db) {
  auto compiled = db.Compile(
      "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
      "fld市区町村コード from POSITION order by rowid");
  Statement& st = Check(compiled, u"POSITION");
  std::map<std::pair<std::u16string, std::u16string>, std::size_t> byName;
  while (true) {
    auto row = st.Step();
    if (!Check(row, u"POSITION"))
      break;
    const std::u16string prefecture = st.Text(0), city = st.Text(1);
    auto [it, added] = byName.emplace(std::make_pair(prefecture, city), municipalities_.size());
    if (added)
      municipalities_.push_back({prefecture, city, st.Text(5), {}, {}});
    Area& m = municipalities_[it->second];
    if (m.code.empty())
      m.code = st.Text(5);
    const LinkedTown town{st.Int(4), st.Text(3), prefecture, city};
    m.towns.emplace(st.Text(2), town);
    m.list.push_back(town);
  }
  for (std::size_t i = 0; i < municipalities_.size(); ++i) {
    if (!municipalities_[i].code.empty())
      byCode_.emplace(municipalities_[i].code, i);
  }
}

std::optional<std::size_t> RegistryTownLinker::Municipality(const RegistryTown& town) const {
  if (auto it = byCode_.find(town.lgCode.substr(0, 5)); it != byCode_.end())
    return it->second;
  const std::u16string name = town.city + town.ward;
  std::optional<std::size_t> found;
  if (name.empty())
    return found;
  for (std::size_t i = 0; i < municipalities_.size(); ++i) {
    if (!municipalities_[i].city.ends_with(name))
      continue;
    if (found)
      return std::nullopt;  // two municipalities of that name: the code must decide
    found = i;
  }
  return found;
}

const LinkedTown* RegistryTownLinker::Find(std::size_t municipality,
                                           const RegistryTown& town) const {
  const auto& towns = municipalities_[municipality].towns;
  for (const std::u16string& name : TownNames(town)) {
    if (auto it = towns.find(name); it != towns.end())
      return &it->second;
  }
  return nullptr;
}

std::u16string RegistryTownLinker::Name(std::size_t municipality) const {
  return municipalities_[municipality].prefecture + u" " + municipalities_[municipality].city;
}

}  // namespace mok::db
