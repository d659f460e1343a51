#include "db/packed_point.h"

#include <algorithm>
#include <array>

#include "text/text.h"

namespace mok::db {
namespace {

constexpr char kSeparator = '|';

std::u16string Widened(std::string_view part) {
  // The values are ASCII digits, signs and points; anything else is read as the UTF-8 it is.
  if (std::all_of(part.begin(), part.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::u16string(part.begin(), part.end());
  return text::FromUtf8(part);
}

}  // namespace

std::u16string PackPoint(const engine::StoredPoint& point) {
  std::u16string packed;
  for (const std::u16string* value :
       {&point.coordSystemNo, &point.x, &point.y, &point.latitude, &point.longitude}) {
    if (value != &point.coordSystemNo)
      packed += char16_t{kSeparator};
    packed += *value;
  }
  return packed;
}

std::optional<engine::StoredPoint> UnpackPoint(std::string_view packed) {
  std::array<std::string_view, 5> parts;
  std::size_t count = 0;
  while (true) {
    const std::size_t end = packed.find(kSeparator);
    if (count == parts.size())
      return std::nullopt;
    parts[count++] = packed.substr(0, end);
    if (end == std::string_view::npos)
      break;
    packed.remove_prefix(end + 1);
  }
  if (count != parts.size())
    return std::nullopt;
  return engine::StoredPoint{Widened(parts[0]), Widened(parts[1]), Widened(parts[2]),
                             Widened(parts[3]), Widened(parts[4])};
}

}  // namespace mok::db
