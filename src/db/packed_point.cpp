#include "db/packed_point.h"

#include <array>

#include "text/text.h"

namespace mok::db {
namespace {

constexpr char kSeparator = '|';

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
  return engine::StoredPoint{text::FromUtf8(parts[0]), text::FromUtf8(parts[1]),
                             text::FromUtf8(parts[2]), text::FromUtf8(parts[3]),
                             text::FromUtf8(parts[4])};
}

}  // namespace mok::db
