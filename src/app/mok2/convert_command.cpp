// mok2 convert: the conversion run of the desktop program's run button, without windows.
// The options mirror the desktop program's command line (-d region, -i input, -o output,
// -l start row) plus the address field and the tool's own settings; the boxes not given take the
// values the last run remembered in mok.ini, as the main window does. Questions take the answer
// of --yes / --no; Ctrl-C is the stop button.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "batch/conversion_run.h"
#include "batch/database_message.h"
#include "batch/session.h"
#include "batch/unconverted_rows.h"
#include "commands.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "terminal_prompter.h"
#include "terminal_text.h"
#include "text/encoding.h"
#include "text/text.h"
#include "tool_session.h"

namespace mok::app {
namespace {

volatile std::sig_atomic_t g_stopPresses = 0;
volatile std::sig_atomic_t g_terminate = 0;

// Ctrl-C presses the stop button; a third press while the run has not yet taken the first ends
// the program at once, as a way out when every stop question is answered No.
extern "C" void OnInterrupt(int) {
  g_stopPresses = g_stopPresses + 1;
  if (g_stopPresses >= 3) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}

// A request to end (kill, a closed terminal) stops the run like the stop button, without asking:
// the output keeps its complete lines.
extern "C" void OnTerminate(int) {
  g_terminate = 1;
  g_stopPresses = g_stopPresses + 1;
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
    if (g_terminate && text == batch::kStopQuestion)
      return Answer::Yes;
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
      batch::CollectUnconvertedRows(run_->LastRunFiles(), *settings_);
  if (found.failure)
    return;
  std::fputs("Unconverted addresses:\n", stderr);
  constexpr std::size_t kShown = 20;
  for (std::size_t i = 0; i < found.rows.size() && i < kShown; ++i) {
    std::fprintf(stderr, "  line %lld: %s\n", static_cast<long long>(found.rows[i].lineNumber),
                 ForTerminal(found.rows[i].address).c_str());
  }
  if (found.rows.size() > kShown)
    std::fprintf(stderr, "  ... and %zu more\n", found.rows.size() - kShown);
}

}  // namespace

int Convert(const ParsedOptions& options) {
  TerminalPrompter terminal(!options.Has("--no"));
  const bool quiet = options.Has("--quiet") || options.Has("-q");
  ProgressBar bar(!quiet);
  ConvertPrompter prompter(terminal, bar);

  const auto sessionPointer = MakeSession("convert", options, prompter);
  if (!sessionPointer)
    return 1;
  batch::Session& session = *sessionPointer;
  if (auto opened = session.OpenDatabase(); !opened) {
    prompter.ShowMessage(batch::DatabaseMessage(opened.error()), MessageIcon::None, kAppTitle);
    return 1;
  }
  const std::u16string& iniPath = session.settingsFilePath;
  const std::vector<std::u16string>& regions = session.database.RegionList();
  const std::optional<unsigned> jobs = JobsOf("convert", options, session.settings);
  if (!jobs)
    return 2;
  session.settings.jobs = static_cast<int16_t>(*jobs);

  // The boxes as the main window would show them: the remembered entries, then the options.
  const CurrentState remembered = LoadCurrentState(iniPath);
  auto box = [&](std::string_view option, const std::u16string& rememberedText) {
    const auto value = options.Value(option);
    return value ? text::FromUtf8(*value) : rememberedText;
  };
  batch::RunRequest request;
  request.inputPath = box("-i", remembered.inputFilePath);
  request.outputPath = box("-o", remembered.outputFilePath);
  request.region = box("-d", remembered.selectPref);
  request.startRow = box("-l", remembered.startRow);
  request.addressField = box("-f", remembered.adrField1);

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

  if (const auto encoding = options.Value("--output-encoding")) {
    const auto parsed = text::ParseEncoding(text::FromUtf8(*encoding));
    if (!parsed) {
      std::fprintf(stderr, "mok2 convert: unknown output encoding %s (cp932, utf8, utf8-bom)\n",
                   encoding->c_str());
      return 1;
    }
    // For this run only; the settings file keeps its own choice.
    session.settings.outputEncoding = text::EncodingKey(*parsed);
  }

  batch::ConversionRun* runPointer = nullptr;
  TerminalObserver observer(bar, runPointer);
  observer.SetSettings(session.settings);
  batch::ConversionRun run(session.settings, session.database, session.recognizer, prompter,
                           observer, iniPath);
  runPointer = &run;

  struct sigaction interrupt {};
  interrupt.sa_handler = OnInterrupt;
  sigemptyset(&interrupt.sa_mask);
  struct sigaction terminate = interrupt;
  terminate.sa_handler = OnTerminate;
  struct sigaction previous[3]{};
  sigaction(SIGINT, &interrupt, &previous[0]);
  sigaction(SIGTERM, &terminate, &previous[1]);
  sigaction(SIGHUP, &terminate, &previous[2]);
  const batch::RunOutcome outcome = run.Execute(request);
  sigaction(SIGINT, &previous[0], nullptr);
  sigaction(SIGTERM, &previous[1], nullptr);
  sigaction(SIGHUP, &previous[2], nullptr);
  bar.Clear();

  const int32_t failed = run.FailCount();
  const int32_t processed = run.ConvertCount();
  if (!quiet && outcome != batch::RunOutcome::NotStarted) {
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
        // An unprocessed-only run replaces the output only at its end.
        summary += run.WasUnprocessedOnly()
                       ? ". Stopped; the output is unchanged, the records converted before the "
                         "stop are in " +
                             text::ToUtf8(run.LastRunFiles().outputPath) + ".$$$."
                       : ". Stopped; the output holds the records before the stop.";
        break;
      default:
        summary += ". The run did not finish.";
        break;
    }
    std::printf("%s\n", summary.c_str());
    if (outcome == batch::RunOutcome::Finished) {
      const batch::RunFiles files = run.LastRunFiles();
      std::printf(
          "Output: %s (%s)\n", text::ToUtf8(files.outputPath).c_str(),
          text::ToUtf8(text::EncodingKey(files.outputEncoding.value_or(text::Encoding::Cp932)))
              .c_str());
    }
  } else if (outcome == batch::RunOutcome::NotStarted &&
             std::find(regions.begin(), regions.end(), request.region) == regions.end()) {
    listRegions();
  } else if (outcome == batch::RunOutcome::NotStarted && !quiet) {
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

Command ConvertCommand() {
  return {
      .name = "convert",
      .arguments = "",
      .wordCount = 0,
      .summary = "convert a whole input file (-d REGION -i IN -o OUT ...)",
      .description =
          "Converts every record of an input file (CSV in CP932 or UTF-8) as the desktop\n"
          "program's run button does; the output is written in the input's encoding unless\n"
          "--output-encoding or OUTPUTENCODING in the settings file names another. Options\n"
          "not given take the values the last run remembered in the settings file.\n"
          "Ctrl-C asks whether to stop (answered by --yes/--no); the records before it are kept.\n"
          "Exit status: 0 finished, 1 not started or failed, 130 stopped.\n",
      .options = {{"-d", "REGION", "region (region database) to convert against", true},
                  {"-i", "FILE", "input file", true},
                  {"-o", "FILE", "output file", true},
                  {"-l", "ROW", "first line to convert (1-based; 2 skips a header line)", true},
                  {"-f", "FIELD", "number of the address field (1-based)", true},
                  {"--output-encoding", "ENC", "cp932, utf8 or utf8-bom (default: as the input)"},
                  kDbDirOption,
                  kIniOption,
                  kMatchOption,
                  kJobsOption,
                  {"--yes", "", "answer Yes to every question (the default)"},
                  {"--no", "", "answer No to every question"},
                  {"--quiet", "", "no progress bar and no summary"},
                  {"-q", "", "the same as --quiet"}},
      .run = Convert,
  };
}

}  // namespace mok::app
