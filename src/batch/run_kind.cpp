#include "batch/run_kind.h"

namespace mok::batch {
namespace {

bool IsFailed(engine::ResultCode code) {
  return !IsWritten(code);
}

// Records that failed with a failure of the address data or without a block are not offered for
// correction again: a learned word cannot mend them.
bool MayBeMendedByAWord(engine::ResultCode code) {
  return code != engine::ResultCode::Converted && code != engine::ResultCode::Failure &&
         code != engine::ResultCode::NoBlock;
}

constexpr RunKind kNormalRun{false, IsFailed, u"??????????????????????????????????"};
constexpr RunKind kUnprocessedOnlyRun{true, MayBeMendedByAWord, u"????????????????????????????"};

}  // namespace

const RunKind& RunKindOf(bool unprocessedOnly) {
  return unprocessedOnly ? kUnprocessedOnlyRun : kNormalRun;
}

}  // namespace mok::batch
