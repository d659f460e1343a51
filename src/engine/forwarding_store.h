// A store that hands every question on to another store: the base of stores that answer a few
// questions otherwise and take the other answers as they are (a conversion's workers leave the
// use of learned words uncounted).
#pragma once

#include "engine/address_store.h"

namespace mok::engine {

class ForwardingStore : public AddressStore {
 public:
  explicit ForwardingStore(AddressStore& inner) : inner_(inner) {}

  const std::vector<Prefecture>& Prefectures() const override { return inner_.Prefectures(); }
  const RegionSelection& Region() const override { return inner_.Region(); }
  bool RegionOpen() const override { return inner_.RegionOpen(); }
  void BeginAddress() override { inner_.BeginAddress(); }
  DbResult<const std::vector<std::u16string>*> Municipalities() override {
    return inner_.Municipalities();
  }
  DbResult<std::vector<std::size_t>> FindMunicipalities(std::u16string_view name,
                                                        bool endsWith) override {
    return inner_.FindMunicipalities(name, endsWith);
  }
  DbResult<const std::vector<TownRow>*> TownRows(std::size_t index) override {
    return inner_.TownRows(index);
  }
  DbResult<std::vector<TownRow>> FindTownsBeginning(std::u16string_view start) override {
    return inner_.FindTownsBeginning(start);
  }
  DbResult<std::optional<TownPosition>> FindTownPosition(const std::u16string& prefecture,
                                                         const std::u16string& city,
                                                         const std::u16string& town) override {
    return inner_.FindTownPosition(prefecture, city, town);
  }
  DbResult<std::optional<StoredPoint>> FindResidence(
      const TownPosition& town, std::u16string_view block, std::u16string_view residence,
      std::optional<std::u16string_view> residence2) override {
    return inner_.FindResidence(town, block, residence, residence2);
  }
  DbResult<std::optional<StoredPoint>> FindParcel(
      const TownPosition& town, std::u16string_view main, std::optional<std::u16string_view> branch,
      std::optional<std::u16string_view> branch2) override {
    return inner_.FindParcel(town, main, branch, branch2);
  }
  DbResult<std::optional<BlockPoint>> FindBlock(
      const TownPosition& town, std::optional<std::u16string_view> number) override {
    return inner_.FindBlock(town, number);
  }
  DbResult<std::optional<BlockPoint>> FindNearestBlock(const TownPosition& town,
                                                       int64_t number) override {
    return inner_.FindNearestBlock(town, number);
  }
  DbResult<std::optional<LearnedWord>> FindLearnedWord(WordKind kind,
                                                       std::u16string_view word) override {
    return inner_.FindLearnedWord(kind, word);
  }
  DbStatus CountLearnedWordUse(int64_t id) override { return inner_.CountLearnedWordUse(id); }
  DbResult<std::optional<PostalNames>> FindPostalNames(const std::u16string& cityKana,
                                                       const std::u16string& placeKana) override {
    return inner_.FindPostalNames(cityKana, placeKana);
  }

 private:
  AddressStore& inner_;
};

}  // namespace mok::engine
