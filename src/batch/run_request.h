// What the run button hands to a run: the texts of the main window's boxes, checked before
// anything is done and read as the run's numbers.
//
// Example: the start row "2" and the address field "3" are the start row 2 and the 0-based field
// 2; the start row "" stops at the check, "99999" (beyond 16 bits) at the reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "batch/file_error.h"
#include "batch/run_observer.h"

namespace mok::batch {

// The texts of the main window's boxes when the run button is pressed.
struct RunRequest {
  std::u16string inputPath;            // the input file box
  std::u16string outputPath;           // the output file box
  std::u16string region;               // the text of the region box
  std::u16string startRow;             // the start row box
  std::u16string addressField = u"1";  // the first address field box: a 1-based field number
};

// A box the request cannot start with: the message, and the box the focus goes to.
struct RequestProblem {
  std::u16string message;
  InputBox box;
};

// The first empty path or a start row that holds no number; nullopt when the run may start.
std::optional<RequestProblem> CheckRequest(const RunRequest& request);

// The numbers of the boxes as the run takes them.
struct RunNumbers {
  int32_t startRow = 1;      // the start row box rounded to a 16-bit number
  int32_t addressField = 0;  // the address field box rounded to a 32-bit number, minus 1
};

// The numbers, or the error of a box that does not convert (a type mismatch, an overflow).
std::variant<RunNumbers, FileError> ReadRunNumbers(const RunRequest& request);

}  // namespace mok::batch
