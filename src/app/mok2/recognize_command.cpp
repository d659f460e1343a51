// mok2 recognize: recognises single addresses for scripting and checks. Each address (from the
// arguments, or one per line from standard input) gives one output line: the result code, a tab
// and the converted output fields, or with --json one object with the code, every part of the
// result record and the conversion log (recognition_json.h).
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch/database_message.h"
#include "batch/recognition_pool.h"
#include "batch/session.h"
#include "commands.h"
#include "engine/recognition/recognizer.h"
#include "recognition_json.h"
#include "session_command.h"
#include "terminal_prompter.h"
#include "text/text.h"

namespace mok::app {
namespace {

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

// Says a failure of the address data on standard error; the command then ends with 1.
int SayDatabaseFailure(const DbError& error) {
  std::fprintf(stderr, "mok2 recognize: %s\n", text::ToUtf8(batch::DatabaseMessage(error)).c_str());
  return 1;
}

// The encoding of standard input: false for UTF-8 (the default), true for CP932; nullopt after
// the message when --encoding names another.
std::optional<bool> InputIsCp932(const ParsedOptions& options) {
  const auto encoding = options.Value("--encoding");
  if (!encoding)
    return false;
  if (*encoding == "cp932" || *encoding == "CP932" || *encoding == "sjis" ||
      *encoding == "shift_jis") {
    return true;
  }
  if (*encoding == "utf8" || *encoding == "utf-8" || *encoding == "UTF-8")
    return false;
  std::fprintf(stderr, "mok2 recognize: unknown encoding '%s' (utf8 or cp932)\n",
               encoding->c_str());
  return std::nullopt;
}

// The region the addresses are recognised in: --region, else the only region; "" (said) when
// there is neither.
std::u16string ChosenRegion(const ParsedOptions& options,
                            const std::vector<std::u16string>& regions) {
  if (const auto named = options.Value("--region"))
    return text::FromUtf8(*named);
  if (regions.size() == 1)
    return regions.front();
  std::fputs("mok2 recognize: no region chosen (--region NAME); municipalities cannot be found\n",
             stderr);
  return {};
}

// Prints the answer for each address, in the order they come.
class AnswerPrinter {
 public:
  AnswerPrinter(batch::Session& session, Prompter& prompter, bool json)
      : session_(session), prompter_(prompter), json_(json) {}

  // False when the database failed: every later address would fail the same way. A worker's
  // answer serves unless it used the learning dictionary, whose counts change in input order.
  bool Print(const std::u16string& address,
             std::optional<batch::RecognitionPool::Answer> answer = std::nullopt) {
    const engine::Recognition r = answer && !answer->learned ? std::move(answer->recognition)
                                                             : session_.recognizer.RecognizeAddress(
                                                                   address, session_.database);
    for (const DbError& error : r.errors) {
      if (error.fromEngine) {
        SayDatabaseFailure(error);
        return false;
      }
      prompter_.ShowMessage(batch::DatabaseMessage(error), MessageIcon::None, kAppTitle);
    }
    if (r.uncountedUse && !countWarned_) {
      countWarned_ = true;
      std::fprintf(stderr, "mok2 recognize: the use of a learned word could not be counted: %s\n",
                   text::ToUtf8(batch::DatabaseMessage(*r.uncountedUse)).c_str());
    }
    Write(json_ ? JsonLine(r)
                : std::to_string(engine::CodeNumber(r.code)) + "\t" + text::ToUtf8(r.outputFields));
    return true;
  }

  // A line that cannot be read is a failure of its own, never an empty (converted) address.
  void PrintUnreadable() { Write(json_ ? "{\"code\":-1,\"fields\":\"\"}" : std::string("-1\t")); }

 private:
  static void Write(std::string line) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }

  batch::Session& session_;
  Prompter& prompter_;
  bool json_;
  bool countWarned_ = false;
};

// The lines of standard input answered one by one, as typed; false when the database failed.
bool AnswerOneByOne(AnswerPrinter& printer, bool cp932) {
  bool ok = true;
  std::optional<std::u16string> line;
  long lineNumber = 0;
  while (ok && NextInputLine(cp932, line, ++lineNumber)) {
    if (line) {
      ok = printer.Print(*line);
    } else {
      printer.PrintUnreadable();
    }
  }
  return ok;
}

// The lines of standard input handed to the workers in batches while the answers of earlier
// batches are printed; false when the database failed.
bool AnswerInBatches(AnswerPrinter& printer, batch::RecognitionPool& pool, bool cp932) {
  constexpr std::size_t kBatch = 64;
  constexpr std::size_t kInFlight = 8;
  using Lines = std::vector<std::optional<std::u16string>>;  // nullopt: unreadable
  std::deque<Lines> batches;
  bool ok = true;
  auto answer = [&](const Lines& lines) {
    std::vector<batch::RecognitionPool::Answer> answers = pool.Take();
    std::size_t next = 0;
    for (const auto& line : lines) {
      if (!ok)
        break;
      if (line) {
        ok = printer.Print(*line, std::move(answers[next++]));
      } else {
        printer.PrintUnreadable();
      }
    }
  };
  Lines lines;
  auto submit = [&] {
    std::vector<std::u16string> addresses;
    for (const auto& l : lines) {
      if (l)
        addresses.push_back(*l);
    }
    pool.Submit(std::move(addresses));
    batches.push_back(std::exchange(lines, {}));
    if (batches.size() > kInFlight) {
      answer(batches.front());
      batches.pop_front();
    }
  };
  std::optional<std::u16string> line;
  long lineNumber = 0;
  while (ok && NextInputLine(cp932, line, ++lineNumber)) {
    lines.push_back(std::move(line));
    if (lines.size() == kBatch)
      submit();
  }
  if (!lines.empty())
    submit();
  for (; ok && !batches.empty(); batches.pop_front())
    answer(batches.front());
  return ok;
}

// Lines typed on a terminal are answered one by one; lines from a file or a pipe go to `workers`
// workers. False when the database failed.
bool AnswerStandardInput(AnswerPrinter& printer, batch::Session& session,
                         const std::u16string& region, unsigned workers, bool cp932) {
  const bool interactive = isatty(STDIN_FILENO);
  session.database.HoldReads(!interactive);
  const auto pool = interactive || workers < 2
                        ? nullptr
                        : batch::RecognitionPool::Start(session.settings, session.database.Folder(),
                                                        session.database.Server(), region, workers);
  const bool ok = pool ? AnswerInBatches(printer, *pool, cp932) : AnswerOneByOne(printer, cp932);
  session.database.HoldReads(false);
  return ok;
}

}  // namespace

int Recognize(const ParsedOptions& options) {
  const std::optional<bool> cp932 = InputIsCp932(options);
  if (!cp932)
    return 2;
  TerminalPrompter prompter;
  const SessionCommand step("recognize", options, {.settingsFileMustExist = true});
  const std::unique_ptr<batch::Session> session = step.Open(prompter);
  if (!session)
    return 1;
  const std::u16string region = ChosenRegion(options, session->database.RegionList());
  // A region whose database does not open would fail every address with the same message.
  if (!region.empty()) {
    if (auto selected = session->database.SelectRegion(region); !selected)
      return SayDatabaseFailure(selected.error());
  }

  AnswerPrinter printer(*session, prompter, options.Has("--json"));
  bool ok = true;
  if (!options.words.empty()) {
    for (std::size_t i = 0; ok && i < options.words.size(); ++i)
      ok = printer.Print(text::FromUtf8(options.words[i]));
  } else {
    const std::optional<unsigned> workers = step.Jobs(session->settings);
    if (!workers)
      return 2;
    ok = AnswerStandardInput(printer, *session, region, *workers, *cp932);
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
          "town, 4 empty address, 5 the town is stored more than once for what the address\n"
          "says (extended matching: it does not pick one), 6 no block coordinates, -1 failure.\n",
      .options = {kDbDirOption,
                  kMainDbOption,
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
