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

#include "batch/session.h"
#include "commands.h"
#include "engine/recognition/recognizer.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "terminal_prompter.h"
#include "text/text.h"

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
  out += ",\"log\":" + JsonArray(r.log);
  return out + "}";
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
  batch::Session session(
      options->ini ? text::FromUtf8(*options->ini)
                   : JoinPath(ProgramDirectory(), kSettingsFileName),
      prompter, options->dbDir ? std::optional(text::FromUtf8(*options->dbDir)) : std::nullopt);
  auto fail = [](const db::DbError& error) {
    std::fprintf(stderr, "mok2 recognize: %s\n", text::ToUtf8(error.Message()).c_str());
    return 1;
  };
  if (auto opened = session.OpenDatabase(); !opened)
    return fail(opened.error());
  const std::vector<std::u16string>& regions = session.database.RegionList();
  std::u16string region;
  if (options->region) {
    region = text::FromUtf8(*options->region);
  } else if (regions.size() == 1) {
    region = regions.front();
  } else {
    std::fputs("mok2 recognize: no region chosen (--region NAME); municipalities cannot be found\n",
               stderr);
  }
  // A region whose database does not open would fail every address with the same message.
  if (!region.empty()) {
    if (auto selected = session.database.SelectRegion(region); !selected)
      return fail(selected.error());
  }

  auto print = [&](std::string line) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  };
  auto recognize = [&](const std::u16string& address) {
    const engine::Recognition r = session.recognizer.RecognizeAddress(address);
    for (const db::DbError& error : r.errors)
      prompter.ShowMessage(error.Message(), MessageIcon::None, kAppTitle);
    print(options->json
              ? JsonLine(r)
              : std::to_string(engine::CodeNumber(r.code)) + "\t" + text::ToUtf8(r.outputFields));
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
