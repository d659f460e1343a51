// Numbers typed into the main window's boxes (start row, address field). A box "holds a number"
// when its text, without surrounding blanks, is a decimal number: an optional sign, digits with
// at most one decimal point, an optional exponent; full-width digits count as digits. The value
// is rounded to the nearest integer with halves to even, as the window's number conversion has
// always done: "2.5" -> 2, "3.5" -> 4, "-0.5" -> 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mok::batch {

// The number in `text`, or nullopt when it holds none.
std::optional<double> ParseNumber(const std::u16string& text);

// Rounds halves to even.
double RoundHalfEven(double value);

// The rounded value when it fits in [minimum, maximum].
std::optional<int64_t> RoundedInRange(double value, int64_t minimum, int64_t maximum);

}  // namespace mok::batch
