// Where an address lies below its town: the point of the residence, the parcel or the block its
// numbers name, else the town's own point.
//
// The numbers after the town name (after the 丁目, when the 丁目 went into the town name) are read
// as the town numbers its addresses. The town tells by the registry rows it has:
//
//   a town with residences (住居表示): 街区符号 - 住居番号 [- 住居番号2]
//     文京区白山一丁目1番1号, 白山1-1-1, 白山1丁目1-1 -> the residence 1-1 of 白山一丁目
//     白山一丁目1番99号 (no residence 99)          -> block 1 of 白山一丁目
//   a town with parcels and no residences (地番): 本番 - 枝番 [- 枝番2]
//     和歌山市秋月96番地6, 秋月96-6                -> the parcel 96-6
//     秋月96-999 (no such 枝番), 秋月96番地        -> the first parcel of 本番 96
//   any town: the block table
//     丸の内一丁目5  -> block 5; no block 5: the block of the nearest number (not with
//                       COMPLETEMATCH); a town without block data answers with its
//                       representative row, the town's point
//     丸の内一丁目   -> the town's first row (its representative row, the town's point)
//
// A 住居表示 town keeps its parcels in the registry too, numbered otherwise (葵町's parcel 103-3
// is no residence 103-3), so a town with residences never reads its numbers as parcels. Each step
// is one search of an index; a residence or parcel that is not there costs one probe, and the
// block table is asked only when neither answered. The numbers of the address are never replaced
// by the row's: they stay in the output as written, and the level says what the point stands for.
#pragma once

#include <optional>
#include <string>

#include "engine/address_store.h"
#include "engine/recognition/recognizer.h"
#include "result/db_result.h"

namespace mok::engine {

struct BlockMatch {
  bool found = false;      // a point was found (else the address ends with NoBlock)
  BlockPosition position;  // the town's code once its POSITION row was found; the rest when found
  std::optional<DbError> error;  // the failure that ended the lookup
};

// The point of `parts` (their town as stored, their numbers as written). With `completeMatch`
// only a block of the asked number answers, never the nearest.
BlockMatch LookupBlockCoordinates(AddressStore& store, const AddressParts& parts,
                                  bool completeMatch);

// The level as the output's 位置レベル column writes it: 住居, 地番, 街区 or 大字・町丁目, followed
// by （近似） when the row does not have the address's own numbers; "" for no point.
std::u16string PointLevelText(const PointReached& reached);

// The conversion log's entry for a point that does not have the address's own numbers (the
// nearest block names its number: 位置レベル:街区３（近似））; "" for an exact one or the town's.
std::u16string PointLevelLogEntry(const PointReached& reached);

}  // namespace mok::engine
