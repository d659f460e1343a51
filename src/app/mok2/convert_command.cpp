// mok2 convert: the conversion run of the desktop program's run button, without windows.
// The options mirror the desktop program's command line (-d region, -i input, -o output,
// -l start row) plus the address field and the tool's own settings; the boxes not given take the
// values the last run remembered in mok.ini, as the main window does. Questions take the answer
// of --yes / --no; Ctrl-C is the stop button.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "batch/conversion_run.h"
#include "batch/unconverted_rows.h"
#include "commands.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/settings_file.h"
#include "terminal_prompter.h"
#include "text/text.h"
#include "tool_session.h"

namespace mok::app {
namespace {

volatile std::sig_atomic_t g_stopPresses = 0;

// Ctrl-C presses the stop button; a third press while the run has not yet taken the first ends
// the program at once, as a way out when every stop question is answered No.
extern "C" void OnInterrupt(int) {
  g_stopPresses = g_stopPresses + 1;
  if (g_stopPresses >= 3) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}

void PrintConvertUsage() {
  std::fputs(
      "usage: mok2 convert [options]\n"
      "Converts every record of an input file (CP932 CSV) as the desktop program's run button\n"
      "does. Options not given take the values the last run remembered in the settings file.\n"
      "  -d REGION          region (region database) to convert against\n"
      "  -i FILE            input file\n"
      "  -o FILE            output file\n"
      "  -l ROW             first line to convert (1-based; 2 skips a header line)\n"
      "  -f FIELD           number of the address field (1-based)\n"
      "  --db-dir DIR       folder of mok2.sqlite and the region databases (default: DBDIR)\n"
      "  --ini FILE         settings file (default: mok.ini beside the program)\n"
      "  --yes, --no        answer to every question (default: yes)\n"
      "  --quiet            no progress bar and no summary\n"
      "  --help             show this text\n"
      "Ctrl-C asks whether to stop (answered by --yes/--no); the records before it are kept.\n"
      "Exit status: 0 finished, 1 not started or failed, 130 stopped.\n",
      stderr);
}

struct ConvertOptions {
  std::optional<std::string> region, input, output, startRow, field, dbDir, ini;
  bool answer = true;
  bool quiet = false;
};

std::optional<ConvertOptions> ParseOptions(const Args& args, bool& help) {
  ConvertOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // Like the desktop program's options, a value is the next word whatever it looks like, and
    // an option that is the last word has the value "".
    auto value = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : std::string(); };
    auto required = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "mok2 convert: %s needs a value\n", name);
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      help = true;
      return std::nullopt;
    } else if (a == "--db-dir") {
      if (!(o.dbDir = required("--db-dir")))
        return std::nullopt;
    } else if (a == "--ini") {
      if (!(o.ini = required("--ini")))
        return std::nullopt;
    } else if (a == "--yes") {
      o.answer = true;
    } else if (a == "--no") {
      o.answer = false;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (a.size() == 2 && a[0] == '-') {
      switch (a[1]) {
        case 'd':
        case 'D':
          o.region = value();
          break;
        case 'i':
        case 'I':
          o.input = value();
          break;
        case 'o':
        case 'O':
          o.output = value();
          break;
        case 'l':
        case 'L':
          o.startRow = value();
          break;
        case 'f':
        case 'F':
          o.field = value();
          break;
        default:
          std::fprintf(stderr, "mok2 convert: unknown option '%s'\n", a.c_str());
          return std::nullopt;
      }
    } else {
      std::fprintf(stderr, "mok2 convert: unexpected word '%s'\n", a.c_str());
      return std::nullopt;
    }
  }
  return o;
}

std::string FormatDuration(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  char buffer[32];
  if (s >= 3600) {
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld", s / 60, s % 60);
  }
  return buffer;
}

// A progress bar on standard error, only on a terminal: records done, records per second and
// the time left.
class ProgressBar {
 public:
  explicit ProgressBar(bool enabled) : enabled_(enabled && isatty(STDERR_FILENO)) {}

  void Show(int32_t current, int32_t total) {
    if (!enabled_ || total <= 0)
      return;
    const auto now = Clock::now();
    if (current == 1 || !started_) {
      start_ = now;
      started_ = true;
    }
    if (current != total && now - lastDraw_ < std::chrono::milliseconds(100))
      return;
    lastDraw_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double rate = elapsed > 0 ? current / elapsed : 0;
    const double left = rate > 0 ? (total - current) / rate : 0;
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(static_cast<int64_t>(kWidth) * current / total);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '-');
    std::fprintf(stderr, "\r[%s] %d/%d %5.1f%% %7.0f rec/s %s left ", bar.c_str(), current, total,
                 100.0 * current / total, rate, FormatDuration(left).c_str());
    std::fflush(stderr);
    drawn_ = true;
  }

  // Clears the bar's line before anything else is written to the terminal.
  void Clear() {
    if (!drawn_)
      return;
    std::fputs("\r\033[K", stderr);
    drawn_ = false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool started_ = false;
  bool drawn_ = false;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

// The terminal prompter, with the progress bar cleared first; the end message is kept for the
// summary line instead of being printed on its own.
class ConvertPrompter : public Prompter {
 public:
  ConvertPrompter(TerminalPrompter& terminal, ProgressBar& bar) : terminal_(terminal), bar_(bar) {}
  void ShowMessage(const std::u16string& text, MessageIcon icon,
                   const std::u16string& title) override {
    bar_.Clear();
    if (text.starts_with(u"変換が終了しました。")) {
      endMessage = text;
      return;
    }
    terminal_.ShowMessage(text, icon, title);
  }
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override {
    bar_.Clear();
    return terminal_.Ask(text, buttons, icon, title);
  }
  std::u16string endMessage;

 private:
  TerminalPrompter& terminal_;
  ProgressBar& bar_;
};

std::string OneLine(const std::u16string& text) {
  std::string out;
  for (char c : text::ToUtf8(text)) {
    if (c == '\n') {
      out += ' ';
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

class TerminalObserver : public batch::RunObserver {
 public:
  TerminalObserver(ProgressBar& bar, batch::ConversionRun*& run) : bar_(bar), run_(run) {}
  void SetRunningState(bool) override {}
  void FocusInputBox(batch::InputBox box) override {
    const char* option[] = {"-i FILE", "-o FILE", "-l ROW"};
    std::fprintf(stderr, "(give it with %s)\n", option[static_cast<int>(box)]);
  }
  void ShowProgress(int32_t current, int32_t total) override { bar_.Show(current, total); }
  void SetMonitorText(batch::MonitorBox, const std::u16string&) override {}
  bool PollStopRequest() override {
    if (g_stopPresses == 0)
      return false;
    g_stopPresses = 0;
    bar_.Clear();
    return true;
  }
  // There is no correction dialog on a terminal: the address is recognised again unchanged.
  void EditUnconvertedAddress(const std::u16string&) override {}
  // The unconverted records of the run, listed on standard error by the same rule the desktop
  // program's list uses: input and output read side by side.
  void ListUnconvertedRows() override;

 private:
  ProgressBar& bar_;
  batch::ConversionRun*& run_;
  const Settings* settings_ = nullptr;

 public:
  void SetSettings(const Settings& settings) { settings_ = &settings; }
};

void TerminalObserver::ListUnconvertedRows() {
  if (run_ == nullptr || settings_ == nullptr)
    return;
  bar_.Clear();
  const batch::UnconvertedRows found =
      batch::CollectUnconvertedRows(batch::FilesOfRun(*run_), *settings_);
  if (found.failure)
    return;
  std::fputs("Unconverted addresses:\n", stderr);
  constexpr std::size_t kShown = 20;
  for (std::size_t i = 0; i < found.rows.size() && i < kShown; ++i) {
    std::fprintf(stderr, "  line %lld: %s\n", static_cast<long long>(found.rows[i].lineNumber),
                 text::ToUtf8(found.rows[i].address).c_str());
  }
  if (found.rows.size() > kShown)
    std::fprintf(stderr, "  ... and %zu more\n", found.rows.size() - kShown);
}

}  // namespace

int RunConvertCommand(const Args& args) {
  bool help = false;
  auto options = ParseOptions(args, help);
  if (help) {
    PrintConvertUsage();
    return 0;
  }
  if (!options) {
    PrintConvertUsage();
    return 2;
  }

  TerminalPrompter terminal(options->answer);
  ProgressBar bar(!options->quiet);
  ConvertPrompter prompter(terminal, bar);

  ToolSession session(options->ini, options->dbDir, prompter);
  if (!session.OpenDatabase())
    return 1;
  Settings& settings = session.settings;
  db::AddressDatabase& database = session.database;
  const std::u16string& iniPath = session.iniPath;
  const std::vector<std::u16string>& regions = session.regions;

  // The boxes as the main window would show them: the remembered entries, then the options.
  const CurrentState remembered = LoadCurrentState(iniPath);
  batch::RunRequest request;
  request.inputPath = options->input ? text::FromUtf8(*options->input) : remembered.inputFilePath;
  request.outputPath =
      options->output ? text::FromUtf8(*options->output) : remembered.outputFilePath;
  request.region = options->region ? text::FromUtf8(*options->region) : remembered.selectPref;
  request.startRow = options->startRow ? text::FromUtf8(*options->startRow) : remembered.startRow;
  request.addressField = options->field ? text::FromUtf8(*options->field) : remembered.adrField1;
  // The region combo's selected position: the region's place in the region list.
  for (std::size_t i = 0; i < regions.size(); ++i) {
    if (regions[i] == request.region) {
      request.regionIndex = static_cast<int>(i);
      break;
    }
  }

  // Without a region the run would end silently (the desktop program shows nothing either, as
  // its combo box is in plain sight); on a terminal, say what is missing.
  auto listRegions = [&] {
    std::string names;
    for (const auto& r : regions)
      names += (names.empty() ? "" : ", ") + text::ToUtf8(r);
    std::fprintf(stderr, "regions: %s\n", names.empty() ? "(none; see mok2 db)" : names.c_str());
  };
  if (request.region.empty()) {
    std::fputs("mok2 convert: no region given (-d REGION)\n", stderr);
    listRegions();
    return 1;
  }

  engine::Recognizer recognizer(settings, database);
  batch::ConversionRun* runPointer = nullptr;
  TerminalObserver observer(bar, runPointer);
  observer.SetSettings(settings);
  batch::ConversionRun run(settings, database, recognizer, prompter, observer, iniPath);
  runPointer = &run;

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  sigaction(SIGINT, &action, &previous);
  const batch::RunOutcome outcome = run.Execute(request);
  sigaction(SIGINT, &previous, nullptr);
  bar.Clear();

  const int32_t failed = run.FailCount();
  const int32_t processed = run.ConvertCount();
  if (!options->quiet && outcome != batch::RunOutcome::NotStarted) {
    std::string summary = std::to_string(run.RecordCount()) + " records";
    if (run.WasUnprocessedOnly() && outcome == batch::RunOutcome::Finished) {
      summary +=
          " (" + std::to_string(run.RecordCount() - processed) + " kept from the earlier output)";
    }
    summary += ", " + std::to_string(processed - failed) + " converted, " + std::to_string(failed) +
               " failed";
    switch (outcome) {
      case batch::RunOutcome::Finished:
        summary += prompter.endMessage.empty() ? std::string(". 変換が終了しました。")
                                               : ". " + OneLine(prompter.endMessage);
        break;
      case batch::RunOutcome::Stopped:
        summary += ". Stopped; the output holds the records before the stop.";
        break;
      default:
        summary += ". The run did not finish.";
        break;
    }
    std::printf("%s\n", summary.c_str());
    if (outcome == batch::RunOutcome::Finished) {
      std::printf("Output: %s\n", text::ToUtf8(run.StrOutputPath()).c_str());
    }
  } else if (outcome == batch::RunOutcome::NotStarted && request.regionIndex < 0) {
    listRegions();
  } else if (outcome == batch::RunOutcome::NotStarted && !options->quiet) {
    std::fputs(
        "mok2 convert: nothing was converted (see the message above; a start row past the\n"
        "end of the input, or an input that cannot be read, also ends here)\n",
        stderr);
  }
  std::fflush(stdout);

  switch (outcome) {
    case batch::RunOutcome::Finished:
      return 0;
    case batch::RunOutcome::Stopped:
      return 130;
    default:
      return 1;
  }
}

}  // namespace mok::app
