// mok2 recognize: recognises single addresses for scripting and checks. Each address (from the
// arguments, or one per line from standard input) gives one output line: the result code, a tab
// and the converted output fields, or with --json one object with the code, every part of the
// result record and the conversion log.
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch/database_message.h"
#include "batch/recognition_pool.h"
#include "batch/session.h"
#include "commands.h"
#include "engine/recognition/recognizer.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "terminal_prompter.h"
#include "text/text.h"
#include "tool_session.h"

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

int Recognize(const ParsedOptions& options) {
  bool cp932 = false;
  if (const auto encoding = options.Value("--encoding")) {
    if (*encoding == "cp932" || *encoding == "CP932" || *encoding == "sjis" ||
        *encoding == "shift_jis") {
      cp932 = true;
    } else if (*encoding != "utf8" && *encoding != "utf-8" && *encoding != "UTF-8") {
      std::fprintf(stderr, "mok2 recognize: unknown encoding '%s' (utf8 or cp932)\n",
                   encoding->c_str());
      return 2;
    }
  }
  const bool json = options.Has("--json");

  TerminalPrompter prompter;
  if (const auto ini = options.Value("--ini");
      ini && !std::filesystem::exists(std::filesystem::path(*ini))) {
    std::fprintf(stderr, "mok2 recognize: settings file '%s' not found\n", ini->c_str());
    return 1;
  }
  const auto sessionPointer = MakeSession("recognize", options, prompter);
  if (!sessionPointer)
    return 1;
  batch::Session& session = *sessionPointer;
  auto fail = [](const DbError& error) {
    std::fprintf(stderr, "mok2 recognize: %s\n",
                 text::ToUtf8(batch::DatabaseMessage(error)).c_str());
    return 1;
  };
  if (auto opened = session.OpenDatabase(); !opened)
    return fail(opened.error());
  const std::vector<std::u16string>& regions = session.database.RegionList();
  std::u16string region;
  if (const auto named = options.Value("--region")) {
    region = text::FromUtf8(*named);
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
  bool countWarned = false;
  // False when the database failed: every later address would fail the same way. A worker's
  // answer serves unless it used the learning dictionary, whose counts change in input order.
  auto recognize = [&](const std::u16string& address,
                       std::optional<batch::RecognitionPool::Answer> answer = std::nullopt) {
    const engine::Recognition r =
        answer && !answer->learned ? std::move(answer->recognition)
                                   : session.recognizer.RecognizeAddress(address, session.database);
    for (const DbError& error : r.errors) {
      if (error.fromEngine) {
        fail(error);
        return false;
      }
      prompter.ShowMessage(batch::DatabaseMessage(error), MessageIcon::None, kAppTitle);
    }
    if (r.uncountedUse && !countWarned) {
      countWarned = true;
      std::fprintf(stderr, "mok2 recognize: the use of a learned word could not be counted: %s\n",
                   text::ToUtf8(batch::DatabaseMessage(*r.uncountedUse)).c_str());
    }
    print(json ? JsonLine(r)
               : std::to_string(engine::CodeNumber(r.code)) + "\t" + text::ToUtf8(r.outputFields));
    return true;
  };
  // A line that cannot be read is a failure of its own, never an empty (converted) address.
  auto unreadable = [&]() { print(json ? "{\"code\":-1,\"fields\":\"\"}" : std::string("-1\t")); };
  bool ok = true;
  if (!options.words.empty()) {
    for (std::size_t i = 0; ok && i < options.words.size(); ++i)
      ok = recognize(text::FromUtf8(options.words[i]));
  } else {
    // Lines typed on a terminal are answered one by one; lines from a file or a pipe go to the
    // workers in batches while earlier answers are printed.
    const bool interactive = isatty(STDIN_FILENO);
    const std::optional<unsigned> workers = JobsOf("recognize", options, session.settings);
    if (!workers)
      return 2;
    session.database.HoldReads(!interactive);
    const auto pool = interactive || *workers < 2
                          ? nullptr
                          : batch::RecognitionPool::Start(
                                session.settings, session.database.Folder(), region, *workers);
    constexpr std::size_t kBatch = 64;
    constexpr std::size_t kInFlight = 8;
    std::deque<std::vector<std::optional<std::u16string>>> batches;  // nullopt: unreadable
    auto answer = [&](const std::vector<std::optional<std::u16string>>& batch) {
      std::vector<batch::RecognitionPool::Answer> answers = pool->Take();
      std::size_t next = 0;
      for (const auto& line : batch) {
        if (!ok)
          break;
        if (line)
          ok = recognize(*line, std::move(answers[next++]));
        else
          unreadable();
      }
    };
    std::optional<std::u16string> line;
    long lineNumber = 0;
    std::vector<std::optional<std::u16string>> batch;
    auto submit = [&] {
      std::vector<std::u16string> addresses;
      for (const auto& l : batch) {
        if (l)
          addresses.push_back(*l);
      }
      pool->Submit(std::move(addresses));
      batches.push_back(std::exchange(batch, {}));
      if (batches.size() > kInFlight) {
        answer(batches.front());
        batches.pop_front();
      }
    };
    while (ok && NextInputLine(cp932, line, ++lineNumber)) {
      if (!pool) {
        if (line)
          ok = recognize(*line);
        else
          unreadable();
        continue;
      }
      batch.push_back(std::move(line));
      if (batch.size() == kBatch)
        submit();
    }
    if (pool && !batch.empty())
      submit();
    for (; ok && !batches.empty(); batches.pop_front())
      answer(batches.front());
    session.database.HoldReads(false);
  }
  std::fflush(stdout);
  return ok ? 0 : 1;
}

Command RecognizeCommand() {
  return {
      .name = "recognize",
      .arguments = "[ADDRESS...]",
      .wordCount = std::nullopt,
      .summary = "recognise addresses (standard input when none is given)",
      .description =
          "Recognises each ADDRESS, or each line of standard input when none is given, and\n"
          "prints the result code, a tab and the output fields.\n"
          "Result codes: 0 converted, 1 no prefecture and no region, 2 no municipality, 3 no\n"
          "town, 4 empty address, 6 no block coordinates, -1 failure.\n",
      .options = {kDbDirOption,
                  kJobsOption,
                  {"--region", "NAME", "region database to use (default: the only region)"},
                  kIniOption,
                  kMatchOption,
                  {"--encoding", "ENC", "encoding of standard input: utf8 (default) or cp932"},
                  {"--json", "", "print one JSON object per address instead"}},
      .run = Recognize,
  };
}

}  // namespace mok::app
