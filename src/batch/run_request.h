// What the run button hands to a run: the texts of the main window's boxes, checked before
// anything is done and read as the run's numbers.
//
// Example: the start row "2" and the address field boxes "3" and "4" are the start row 2 and the
// 0-based fields 2 and 3; the start row "" stops at the check, "99999" (beyond 16 bits) at the
// reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "batch/run_observer.h"

namespace mok::batch {

// The texts of the main window's boxes when the run button is pressed.
struct RunRequest {
  std::u16string inputPath;   // the input file box
  std::u16string outputPath;  // the output file box
  std::u16string region;      // the text of the region box
  std::u16string startRow;    // the start row box
  // The address field boxes (住所１, 住所２, …): 1-based field numbers, the fields of one address
  // in order; a box after the first one may be empty (not used).
  std::vector<std::u16string> addressFields{u"1"};
  // Whether the run remembers its folders (INPUTDIR, OUTPUTDIR) and the boxes (section CURRENT)
  // in mok.ini for the next start, as the main window's runs do; mok2 convert only when asked,
  // so that a script never changes what the desktop program shows next.
  bool remember = true;
};

// The most address fields one address is joined from (the main window's boxes 住所１ to 住所４).
inline constexpr std::size_t kMaxAddressFields = 4;

// A box the request cannot start with: the message, and the box the focus goes to.
struct RequestProblem {
  std::u16string message;
  InputBox box;
};

// The first empty path, or a start row that holds no number or one below 1 (which would convert a
// heading line as a record); nullopt when the run may start.
std::optional<RequestProblem> CheckRequest(const RunRequest& request);

// The numbers of the boxes as the run takes them.
struct RunNumbers {
  int32_t startRow = 1;  // the start row box rounded to a 16-bit number
  // The address field boxes in use, each rounded to a 32-bit number, minus 1.
  std::vector<int32_t> addressFields{0};
};

// The numbers, or the problem of a box that does not hold a number in range (letters in the
// address field box, a start row beyond 16 bits).
std::variant<RunNumbers, RequestProblem> ReadRunNumbers(const RunRequest& request);

}  // namespace mok::batch
