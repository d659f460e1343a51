// mok2 recognize: recognises single addresses for scripting and checks. Each address (from the
// arguments, or one per line from standard input) gives one output line: the result code, a tab
// and the converted output fields, or with --json one object with the code, every part of the
// result record and the conversion log.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/settings.h"
#include "terminal_prompter.h"
#include "text/text.h"
#include "tool_session.h"

namespace mok::app {
namespace {

void PrintRecognizeUsage() {
  std::fputs(
      "usage: mok2 recognize [options] [ADDRESS...]\n"
      "Recognises each ADDRESS, or each line of standard input when none is given, and prints\n"
      "the result code, a tab and the output fields.\n"
      "  --db-dir DIR       folder of mok2.sqlite and the region databases (default: DBDIR)\n"
      "  --region NAME      region database to use (default: the only region of ＤＢ一覧)\n"
      "  --ini FILE         settings file (default: mok.ini beside the program)\n"
      "  --encoding ENC     encoding of standard input: utf8 (default) or cp932\n"
      "  --json             print one JSON object per address instead\n"
      "  --help             show this text\n"
      "Result codes: 0 converted, 1 no prefecture and no region, 2 no municipality, 3 no town,\n"
      "4 empty address, 6 no block coordinates, -1 failure.\n",
      stdout);
}

struct Options {
  std::optional<std::string> dbDir;
  std::optional<std::string> region;
  std::optional<std::string> ini;
  bool cp932 = false;
  bool json = false;
  std::vector<std::string> addresses;
};

// Parses the options; nullopt (after a message) on a usage error.
std::optional<Options> ParseOptions(const Args& args, bool& help) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "mok2 recognize: %s needs a value\n", name);
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      help = true;
      return o;
    } else if (a == "--db-dir") {
      if (!(o.dbDir = value("--db-dir")))
        return std::nullopt;
    } else if (a == "--region") {
      if (!(o.region = value("--region")))
        return std::nullopt;
    } else if (a == "--ini") {
      if (!(o.ini = value("--ini")))
        return std::nullopt;
    } else if (a == "--encoding") {
      auto enc = value("--encoding");
      if (!enc)
        return std::nullopt;
      if (*enc == "cp932" || *enc == "CP932" || *enc == "sjis" || *enc == "shift_jis") {
        o.cp932 = true;
      } else if (*enc != "utf8" && *enc != "utf-8" && *enc != "UTF-8") {
        std::fprintf(stderr, "mok2 recognize: unknown encoding '%s' (utf8 or cp932)\n",
                     enc->c_str());
        return std::nullopt;
      }
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--") {
      o.addresses.insert(o.addresses.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      std::fprintf(stderr, "mok2 recognize: unknown option '%s'\n", a.c_str());
      return std::nullopt;
    } else {
      o.addresses.push_back(a);
    }
  }
  return o;
}

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

template <std::size_t N>
std::string JsonArray(const std::array<std::u16string, N>& values, int count) {
  std::string out = "[";
  for (int i = 1; i <= count; ++i) {
    if (i > 1)
      out += ",";
    out += JsonString(values[static_cast<std::size_t>(i)]);
  }
  return out + "]";
}

std::string JsonLine(int code, const std::u16string& fields, const engine::AddressResult& r) {
  std::string out = "{\"code\":" + std::to_string(code);
  out += ",\"fields\":" + JsonString(fields);
  out += ",\"prefecture\":" + JsonString(r.Prefecture);
  out += ",\"cityParts\":" + JsonArray(r.CityParts, 2);
  out += ",\"townName\":" + JsonString(r.TownName);
  out += ",\"townParts\":" + JsonArray(r.TownParts, engine::kMaxTownParts);
  out += ",\"remainder\":" + JsonString(r.Remainder);
  out += std::string(",\"chomeInOaza\":") + (r.ChomeInOaza ? "true" : "false");
  out += ",\"chomeSuffix\":" + JsonString(r.ChomeSuffix);
  out += std::string(",\"oazaPrefixRemoved\":") + (r.OazaPrefixRemoved ? "true" : "false");
  out += ",\"cityCode\":" + JsonString(r.CityCode);
  out += ",\"coordSystemNo\":" + JsonString(r.CoordSystemNo);
  out += ",\"x\":" + JsonString(r.CoordX);
  out += ",\"y\":" + JsonString(r.CoordY);
  out += ",\"latitude\":" + JsonString(r.Latitude);
  out += ",\"longitude\":" + JsonString(r.Longitude);
  out += ",\"log\":" + JsonArray(r.LogEntries, r.LogCount);
  return out + "}";
}

// Selects the region as a run does: its name, its number in ＤＢ一覧 and the katakana name of
// its prefecture. The katakana name is taken from the prefecture of the same name; a region
// named otherwise takes the prefecture at its position in the region list (after the first),
// as the run pairs the two lists.
bool SelectRegion(db::AddressDatabase& database, const std::u16string& region,
                  const std::vector<std::u16string>& regions) {
  db::DbError error;
  auto number = database.RegionNumber(region, &error);
  if (!number) {
    std::fprintf(stderr, "mok2 recognize: %s\n", text::ToUtf8(error.Text()).c_str());
    return false;
  }
  database.StrSelectedRegion = region;
  database.IntRegionNumber = *number;
  database.StrRegionKana.clear();
  for (int i = 1; i <= database.PrefCount; ++i) {
    if (text::EqualsFold(database.PrefNames[static_cast<std::size_t>(i)], region)) {
      database.StrRegionKana = database.PrefKanaNames[static_cast<std::size_t>(i)];
      return true;
    }
  }
  for (std::size_t pos = 0; pos < regions.size(); ++pos) {
    if (text::EqualsFold(regions[pos], region) && pos > 0 &&
        static_cast<int>(pos) + 1 <= database.PrefCount) {
      database.StrRegionKana = database.PrefKanaNames[pos + 1];
    }
  }
  return true;
}

// Reads standard input line by line (CR LF or LF), decoding each line; `line` is nullopt for a
// line that does not decode (reported on standard error).
bool NextInputLine(bool cp932, std::optional<std::u16string>& line, long lineNumber) {
  std::string raw;
  if (!std::getline(std::cin, raw))
    return false;
  if (!raw.empty() && raw.back() == '\r')
    raw.pop_back();
  if (!cp932) {
    line = text::FromUtf8(raw);
    return true;
  }
  std::string error;
  auto decoded = text::DecodeCp932(raw, &error);
  if (!decoded) {
    std::fprintf(stderr, "mok2 recognize: line %ld is not CP932 text: %s\n", lineNumber,
                 error.c_str());
    line.reset();
    return true;
  }
  line = std::move(*decoded);
  return true;
}

}  // namespace

int RunRecognizeCommand(const Args& args) {
  bool help = false;
  auto options = ParseOptions(args, help);
  if (help) {
    PrintRecognizeUsage();
    return 0;
  }
  if (!options)
    return 2;

  TerminalPrompter prompter;
  if (options->ini && !std::filesystem::exists(std::filesystem::path(*options->ini))) {
    std::fprintf(stderr, "mok2 recognize: settings file '%s' not found\n", options->ini->c_str());
    return 1;
  }
  ToolSession session(options->ini, options->dbDir, prompter);
  if (!session.OpenDatabase())
    return 1;
  Settings& settings = session.settings;
  db::AddressDatabase& database = session.database;
  const std::vector<std::u16string>& regions = session.regions;
  std::u16string region;
  if (options->region) {
    region = text::FromUtf8(*options->region);
  } else if (regions.size() == 1) {
    region = regions.front();
  } else {
    std::fputs("mok2 recognize: no region chosen (--region NAME); municipalities cannot be found\n",
               stderr);
  }
  if (!region.empty() && !SelectRegion(database, region, regions))
    return 1;
  // A region whose database does not open would fail every address with the same message.
  if (!region.empty() && !database.OpenRegionDatabase(region))
    return 1;

  engine::Recognizer recognizer(settings, database);
  auto print = [&](std::string line) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  };
  auto recognize = [&](const std::u16string& address) {
    std::u16string fields;
    const int16_t code = recognizer.RecognizeAddress(address, fields);
    print(options->json ? JsonLine(code, fields, recognizer.Result())
                        : std::to_string(code) + "\t" + text::ToUtf8(fields));
  };
  // A line that cannot be read is a failure of its own, never an empty (converted) address.
  auto unreadable = [&]() {
    print(options->json ? "{\"code\":-1,\"fields\":\"\"}" : std::string("-1\t"));
  };
  if (!options->addresses.empty()) {
    for (const std::string& a : options->addresses)
      recognize(text::FromUtf8(a));
  } else {
    std::optional<std::u16string> line;
    long lineNumber = 0;
    while (NextInputLine(options->cp932, line, ++lineNumber)) {
      if (line)
        recognize(*line);
      else
        unreadable();
    }
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace mok::app
