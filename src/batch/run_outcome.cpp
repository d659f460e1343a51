#include "batch/run_outcome.h"

namespace mok::batch {

RunEnd RunOutcome::End() const {
  switch (reason) {
    case StopReason::NotStarted:
      return RunEnd::NotStarted;
    case StopReason::Finished:
      return RunEnd::Finished;
    case StopReason::UserStop:
      return RunEnd::Stopped;
    default:
      return RunEnd::Failed;
  }
}

}  // namespace mok::batch
