// The per-address pipeline: one address text in, one Recognition out.
//
// 「東京都千代田区丸の内1丁目2番3号」 goes through the kana pre-pass (unchanged), the field split
// and cleaning, the prefecture and municipality steps (東京都, 千代田区, confirmed by the region's
// municipality names), the town split (丸の内, numbers １ ２ ３, remainder 号), the town match
// (丸の内一丁目: the chome went into the town name, so the block number is the second number) and
// the lookup below the town (the residence, parcel or block with its codes and coordinates), and
// comes out as the fields the output settings choose.
#include "engine/recognition/recognizer.h"

#include "engine/recognition/address_context.h"
#include "engine/recognition/block_coordinates.h"
#include "engine/recognition/output_fields.h"
#include "engine/recognition/town_match.h"
#include "engine/recognition/town_split.h"
#include "engine/recognition/variant_fold.h"
#include "engine/rules/fixed_tables.h"
#include "text/text.h"

namespace mok::engine {

namespace {

// The other spellings of a word the learning dictionary is asked for, at most.
constexpr std::size_t kMaxSpellings = 16;

}  // namespace

Recognizer::Recognizer(const Settings& settings)
    : settings_(settings), tables_(LoadFixedNames()), variants_(VariantFold::Table()) {}

Recognition Recognizer::RecognizeAddress(const std::u16string& address, AddressStore& store) const {
  AddressContext context(store);
  store.BeginAddress();
  Recognition r;
  auto finish = [&](ResultCode code) {
    r.code = code;
    r.log = std::move(context.log);
    r.errors = std::move(context.errors);
    r.uncountedUse = std::move(context.uncountedUse);
    return std::move(r);
  };
  if (address.empty())
    return finish(ResultCode::EmptyAddress);
  const std::optional<std::u16string> work = KanaAddressToKanji(context, address);
  if (!work)
    return finish(ResultCode::Failure);

  AddressFields& fields = context.fields;
  fields.Split(*work, settings_.delimiter);
  if (fields.Count() == 0)
    return finish(ResultCode::Failure);
  TextSplit split = SplitFirstField(context, fields.NextAddressField());
  r.parts = std::move(split.parts);
  if (split.code != ResultCode::Converted)
    return finish(split.code);
  AddressParts& parts = r.parts;
  if (parts.prefecture.empty() && store.Region().name.empty())
    return finish(ResultCode::NoPrefecture);
  if (!store.RegionOpen())
    return finish(ResultCode::Failure);

  const TownMatchRequest request{parts.townName, parts.numbers[0], parts.chomeInOaza,
                                 parts.chomeSuffix};
  const TownWordLookup learned = [this, &context](const std::u16string& word) {
    return LookupLearnedWord(context, WordKind::Town, word);
  };
  const TownMatch town = settings_.extendedMatch
                             ? MatchTownExtended(context, split, parts, learned)
                             : FindOazaChome(split.candidates, request, learned);
  parts.townName = town.townName;
  parts.chomeInOaza = town.chomeInOaza;
  parts.oazaPrefixRemoved = town.oazaPrefixRemoved;
  if (town.outcome == TownMatchOutcome::Failed)
    return finish(ResultCode::Failure);
  if (town.outcome == TownMatchOutcome::Ambiguous && settings_.extendedMatch)
    return finish(ResultCode::AmbiguousTown);
  if (town.outcome != TownMatchOutcome::Found)
    return finish(ResultCode::NoTown);
  if (town.row != nullptr) {
    // The town decides which of the fitting municipalities is meant: the block is looked up
    // under the municipality the town was found in.
    const CityParts stored = StoredParts(split.writtenCity, *town.row);
    parts.prefecture = stored.prefecture;
    parts.city = stored.city;
    parts.ward = stored.ward;
  }

  // The town match decided whether the first number went into the town name. The numbers stay
  // as written whatever row gives the point.
  BlockMatch block = LookupBlockCoordinates(store, parts, settings_.completeMatch);
  r.position = std::move(block.position);
  if (block.error)
    context.Fail(std::move(*block.error));
  if (!block.found)
    return finish(ResultCode::NoBlock);
  // A point that is not the address's own is logged with the row it comes from, while the log
  // has room (an address may have kMaxLogEntries).
  if (std::u16string entry = PointLevelLogEntry(r.position.reached);
      !entry.empty() && context.log.size() < kMaxLogEntries)
    context.log.push_back(std::move(entry));
  r.outputFields = ComposeOutputFields(settings_, r.parts, r.position, context.log);
  return finish(ResultCode::Converted);
}

AddressSplit Recognizer::SplitAddress(const std::u16string& address, AddressStore& store) const {
  // Called on its own, the text is the whole address: the context holds no further field.
  AddressContext context(store);
  store.BeginAddress();
  TextSplit split = SplitFirstField(context, address);
  return {split.code, std::move(split.parts)};
}

std::optional<std::u16string> Recognizer::LookupLearnedWord(AddressContext& context, WordKind kind,
                                                            const std::u16string& word) const {
  AddressStore& store = context.store;
  auto found = store.FindLearnedWord(kind, word);
  // The extended matching asks for the other spellings of the word too, so that a word
  // registered as 富ヶ谷 applies to 富ケ谷.
  if (found && !*found && settings_.extendedMatch) {
    for (const std::u16string& spelling : variants_.Spellings(word, kMaxSpellings)) {
      found = store.FindLearnedWord(kind, spelling);
      if (!found || *found)
        break;
    }
  }
  if (!found) {
    context.Fail(found.error());
    return std::nullopt;
  }
  if (!*found)
    return std::u16string();
  const LearnedWord& learned = **found;
  if (text::EqualsFold(learned.converted, word))
    return word;
  // The registered word is a prefix of the word; the rest of the word is kept after the
  // replacement: with 札幌 -> 札幌市, 札幌中央区 becomes 札幌市中央区.
  std::u16string rewritten = learned.converted;
  if (learned.registered.size() < word.size())
    rewritten += word.substr(learned.registered.size());
  if (!context.AddLog(word + u" → " + learned.converted))
    return std::nullopt;
  // The count only orders the words; a word whose use cannot be stored still applies.
  if (auto counted = store.CountLearnedWordUse(learned.id); !counted && !context.uncountedUse)
    context.uncountedUse = counted.error();
  return rewritten;
}

}  // namespace mok::engine
