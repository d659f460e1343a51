#include "batch/number_text.h"

#include <cmath>
#include <cstdlib>

#include "text/text.h"

namespace mok::batch {

std::optional<double> ParseNumber(const std::u16string& text) {
  const std::u16string narrow = text::Trim(text::ToNarrow(text));
  std::string ascii;
  std::size_t i = 0;
  auto at = [&](std::size_t k) -> char16_t { return k < narrow.size() ? narrow[k] : u'\0'; };
  auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  if (at(i) == u'+' || at(i) == u'-')
    ascii += static_cast<char>(narrow[i++]);
  bool digits = false;
  while (isDigit(at(i))) {
    ascii += static_cast<char>(narrow[i++]);
    digits = true;
  }
  if (at(i) == u'.') {
    ascii += '.';
    ++i;
    while (isDigit(at(i))) {
      ascii += static_cast<char>(narrow[i++]);
      digits = true;
    }
  }
  if (!digits)
    return std::nullopt;
  if (at(i) == u'e' || at(i) == u'E') {
    std::string exponent = "e";
    std::size_t k = i + 1;
    if (at(k) == u'+' || at(k) == u'-')
      exponent += static_cast<char>(narrow[k++]);
    if (!isDigit(at(k)))
      return std::nullopt;
    while (isDigit(at(k)))
      exponent += static_cast<char>(narrow[k++]);
    ascii += exponent;
    i = k;
  }
  if (i != narrow.size())
    return std::nullopt;
  const double value = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5)
    return floor;
  if (diff > 0.5)
    return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<int64_t> RoundedInRange(double value, int64_t minimum, int64_t maximum) {
  const double rounded = RoundHalfEven(value);
  if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(rounded);
}

}  // namespace mok::batch
