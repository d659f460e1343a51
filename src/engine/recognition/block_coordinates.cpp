#include "engine/recognition/block_coordinates.h"

#include <cstdint>
#include <utility>

#include "text/text.h"

namespace mok::engine {

namespace {

// A number of the address, or nullopt for none ("").
std::optional<std::u16string_view> Given(const std::u16string& number) {
  return number.empty() ? std::nullopt : std::optional<std::u16string_view>(number);
}

// The number when the text is a plain decimal number that fits (at most 18 digits); a number of
// another form (a sign, 甲, 12-1) has no distance to the stored ones.
std::optional<int64_t> PlainNumber(std::u16string_view number) {
  const std::u16string narrow = text::ToNarrow(number);
  if (narrow.empty() || narrow.size() > 18)
    return std::nullopt;
  int64_t value = 0;
  for (char16_t c : narrow) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// The lookup of one town: each step answers with a point, nothing, or the failure that ends it.
class TownLookup {
 public:
  TownLookup(AddressStore& store, const TownPosition& town, BlockMatch& match)
      : store_(store), town_(town), match_(match) {}

  // The residence, with the sub-number when one is written and stored, else without it.
  bool Residence(std::u16string_view block, std::u16string_view residence,
                 std::optional<std::u16string_view> residence2) {
    if (residence2 && (Take(store_.FindResidence(town_, block, residence, residence2),
                            PointLevel::Residence, true) ||
                       Failed()))
      return match_.found;
    return Take(store_.FindResidence(town_, block, residence, std::nullopt), PointLevel::Residence,
                true);
  }
  // The parcel of every number written, then of its 本番 and 枝番, then of its 本番 alone.
  bool Parcel(std::u16string_view main, std::optional<std::u16string_view> branch,
              std::optional<std::u16string_view> branch2) {
    if (branch && branch2 &&
        (Take(store_.FindParcel(town_, main, branch, branch2), PointLevel::Parcel, true) ||
         Failed()))
      return match_.found;
    if (branch &&
        (Take(store_.FindParcel(town_, main, branch, std::nullopt), PointLevel::Parcel, true) ||
         Failed()))
      return match_.found;
    return Take(store_.FindParcel(town_, main, std::nullopt, std::nullopt), PointLevel::Parcel,
                !branch);
  }
  // The block of the number: the row of that number, or with the nearest-number rule the
  // nearest row (the row of the number itself when there is one); the town's first row when the
  // address has no number.
  bool Block(std::optional<std::u16string_view> number, bool completeMatch) {
    const std::optional<int64_t> plain = number ? PlainNumber(*number) : std::nullopt;
    if (completeMatch || !plain)
      return TakeBlock(store_.FindBlock(town_, number), number.has_value());
    if (!TakeBlock(store_.FindNearestBlock(town_, *plain), false))
      return false;
    PointReached& reached = match_.position.reached;
    reached.exact = reached.level == PointLevel::Block && PlainNumber(reached.blockNumber) == plain;
    return true;
  }
  bool Failed() const { return match_.error.has_value(); }

 private:
  bool Take(DbResult<std::optional<StoredPoint>> found, PointLevel level, bool exact) {
    if (!found) {
      match_.error = found.error();
      return false;
    }
    if (!*found)
      return false;
    StoredPoint& point = **found;
    BlockPosition& p = match_.position;
    p.coordSystemNo = std::move(point.coordSystemNo);
    p.x = std::move(point.x);
    p.y = std::move(point.y);
    p.latitude = std::move(point.latitude);
    p.longitude = std::move(point.longitude);
    p.reached.level = level;
    p.reached.exact = exact;
    match_.found = true;
    return true;
  }
  // A block row: the town's point when it is the representative row (no number).
  bool TakeBlock(DbResult<std::optional<BlockPoint>> found, bool exact) {
    if (!found) {
      match_.error = found.error();
      return false;
    }
    if (!*found)
      return false;
    BlockPoint& row = **found;
    const bool numbered = row.number.has_value();
    if (!Take(std::optional<StoredPoint>(std::move(row.point)),
              numbered ? PointLevel::Block : PointLevel::Town, numbered && exact))
      return false;
    if (numbered)
      match_.position.reached.blockNumber = text::ToWide(*row.number);
    return true;
  }

  AddressStore& store_;
  const TownPosition& town_;
  BlockMatch& match_;
};

}  // namespace

BlockMatch LookupBlockCoordinates(AddressStore& store, const AddressParts& parts,
                                  bool completeMatch) {
  BlockMatch match;
  auto town = store.FindTownPosition(parts.prefecture, parts.Municipality(), parts.townName);
  if (!town) {
    match.error = town.error();
    return match;
  }
  if (!*town)
    return match;
  const TownPosition& position = **town;
  match.position.cityCode = position.cityCode;

  const std::size_t b = parts.BlockIndex();
  const std::optional<std::u16string_view> first = Given(parts.numbers[b]);
  const std::optional<std::u16string_view> second = Given(parts.numbers[b + 1]);
  const std::optional<std::u16string_view> third = Given(parts.numbers[b + 2]);
  TownLookup lookup(store, position, match);
  if (position.hasResidences) {
    if (first && second && lookup.Residence(*first, *second, third))
      return match;
  } else if (position.hasParcels && first && lookup.Parcel(*first, second, third)) {
    return match;
  }
  if (!lookup.Failed())
    lookup.Block(first, completeMatch);
  return match;
}

std::u16string PointLevelText(const PointReached& reached) {
  std::u16string text;
  switch (reached.level) {
    case PointLevel::None:
      return text;
    case PointLevel::Town:
      return u"大字・町丁目";
    case PointLevel::Block:
      text = u"街区";
      break;
    case PointLevel::Residence:
      text = u"住居";
      break;
    case PointLevel::Parcel:
      text = u"地番";
      break;
  }
  return reached.exact ? text : text + u"（近似）";
}

std::u16string PointLevelLogEntry(const PointReached& reached) {
  if (reached.exact || reached.level == PointLevel::None || reached.level == PointLevel::Town)
    return {};
  if (reached.level == PointLevel::Block)
    return u"位置レベル:街区" + reached.blockNumber + u"（近似）";
  return u"位置レベル:" + PointLevelText(reached);
}

}  // namespace mok::engine
