#include "recognition_json.h"

#include <cstdio>
#include <vector>

#include "text/text.h"

namespace mok::app {
namespace {

// JSON string literal of a text (RFC 8259 escaping; written here because the core has no JSON
// library and only strings need writing).
std::string JsonString(const std::u16string& value) {
  const std::string utf8 = text::ToUtf8(value);
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

template <class List>
std::string JsonArray(const List& values) {
  std::string out = "[";
  for (const std::u16string& value : values) {
    if (out.size() > 1)
      out += ",";
    out += JsonString(value);
  }
  return out + "]";
}

// What the point stands for: {"reached":"residence","exact":true,"block":""}; "block" is the
// stored number of the block row taken (block level).
std::string LevelObject(const engine::PointReached& reached) {
  static constexpr const char* kLevels[] = {"none", "town", "block", "residence", "parcel"};
  return std::string("{\"reached\":\"") + kLevels[static_cast<int>(reached.level)] +
         "\",\"exact\":" + (reached.exact ? "true" : "false") +
         ",\"block\":" + JsonString(reached.blockNumber) + "}";
}

}  // namespace

std::string JsonLine(const engine::Recognition& r) {
  const engine::AddressParts& p = r.parts;
  std::string out = "{\"code\":" + std::to_string(engine::CodeNumber(r.code));
  out += ",\"fields\":" + JsonString(r.outputFields);
  out += ",\"prefecture\":" + JsonString(p.prefecture);
  out += ",\"cityParts\":" + JsonArray(std::vector<std::u16string>{p.city, p.ward});
  out += ",\"townName\":" + JsonString(p.townName);
  out += ",\"townParts\":" + JsonArray(p.numbers);
  out += ",\"remainder\":" + JsonString(p.remainder);
  out += std::string(",\"chomeInOaza\":") + (p.chomeInOaza ? "true" : "false");
  out += ",\"chomeSuffix\":" + JsonString(p.chomeSuffix);
  out += std::string(",\"oazaPrefixRemoved\":") + (p.oazaPrefixRemoved ? "true" : "false");
  out += ",\"cityCode\":" + JsonString(r.position.cityCode);
  out += ",\"coordSystemNo\":" + JsonString(r.position.coordSystemNo);
  out += ",\"x\":" + JsonString(r.position.x);
  out += ",\"y\":" + JsonString(r.position.y);
  out += ",\"latitude\":" + JsonString(r.position.latitude);
  out += ",\"longitude\":" + JsonString(r.position.longitude);
  out += ",\"level\":" + LevelObject(r.position.reached);
  out += ",\"log\":" + JsonArray(r.log);
  return out + "}";
}

}  // namespace mok::app
