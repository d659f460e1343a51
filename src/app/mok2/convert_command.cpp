// mok2 convert: the conversion run of the desktop program's run button, without windows.
// The options mirror the desktop program's command line (-d region, -i input, -o output,
// -l start row) plus the address field and the tool's own settings; the boxes not given take the
// values the last run remembered in mok.ini, as the main window does. Questions take the answer
// of --yes / --no (Yes when neither is given), except the one before replacing a file that is not
// the input's earlier output, which only --yes answers Yes; Ctrl-C is the stop button
// (stop_signals.h).
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "address_field_choice.h"
#include "batch/conversion_run.h"
#include "batch/output_claim.h"
#include "batch/record_fields.h"
#include "batch/unconverted_rows.h"
#include "commands.h"
#include "convert_summary.h"
#include "progress_bar.h"
#include "session_command.h"
#include "startup/new_settings.h"
#include "startup/settings_file.h"
#include "stop_signals.h"
#include "terminal_prompter.h"
#include "terminal_text.h"
#include "text/encoding.h"
#include "text/text.h"

namespace mok::app {
namespace {

// The terminal prompter, with the progress bar cleared first. The end and stop messages are left
// to the summary line; the stop question is answered Yes after a request to end; replacing another
// file needs `replaceAllowed` (--yes), so that a script never destroys one by default.
class ConvertPrompter : public Prompter {
 public:
  ConvertPrompter(TerminalPrompter& terminal, ProgressBar& bar, bool replaceAllowed)
      : terminal_(terminal), bar_(bar), replaceAllowed_(replaceAllowed) {}
  void ShowMessage(const std::u16string& text, MessageIcon icon,
                   const std::u16string& title) override {
    bar_.Clear();
    if (!text.starts_with(u"変換が終了しました。") && !text.starts_with(u"変換を中止しました。"))
      terminal_.ShowMessage(text, icon, title);
  }
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override {
    bar_.Clear();
    if (StopSignals::EndRequested() && text == batch::kStopQuestion)
      return Answer::Yes;
    if (text.ends_with(batch::kReplaceOutputAsked) && !replaceAllowed_) {
      std::fprintf(stderr, "%s -> no (give --yes to replace it, or another -o)\n",
                   ForTerminal(text).c_str());
      return Answer::No;
    }
    return terminal_.Ask(text, buttons, icon, title);
  }

 private:
  TerminalPrompter& terminal_;
  ProgressBar& bar_;
  bool replaceAllowed_;
};

class TerminalObserver : public batch::RunObserver {
 public:
  TerminalObserver(ProgressBar& bar, const Settings& settings) : bar_(bar), settings_(settings) {}
  void SetRunningState(bool) override {}
  void FocusInputBox(batch::InputBox box) override {
    const char* option[] = {"-i FILE", "-o FILE", "-l ROW", "-f FIELD"};
    std::fprintf(stderr, "(give it with %s)\n", option[static_cast<int>(box)]);
  }
  void ShowProgress(int32_t current, int32_t total) override { bar_.Show(current, total); }
  void SetMonitorText(batch::MonitorBox, const std::u16string&) override {}
  bool PollStopRequest() override {
    if (!StopSignals::TakeStopPress())
      return false;
    bar_.Clear();
    return true;
  }
  // There is no correction dialog on a terminal: the address is recognised again unchanged.
  void EditUnconvertedAddress(const std::u16string&) override {}
  // The unconverted records of the run, listed on standard error by the same rule the desktop
  // program's list uses: input and output read side by side.
  void ListUnconvertedRows(const batch::RunFiles& files) override;

 private:
  ProgressBar& bar_;
  const Settings& settings_;
};

void TerminalObserver::ListUnconvertedRows(const batch::RunFiles& files) {
  bar_.Clear();
  const batch::UnconvertedRows found = batch::CollectUnconvertedRows(files, settings_);
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

// The boxes as the main window would show them: the remembered entries, then the options. A new
// input without -o gets its own output name, as the main window's output follows its input.
batch::RunRequest RequestOf(const ParsedOptions& options, const CurrentState& remembered,
                            const Settings& settings, const std::vector<std::u16string>& regions) {
  auto box = [&](std::string_view option, const std::u16string& rememberedText) {
    const auto value = options.Value(option);
    return value ? text::FromUtf8(*value) : rememberedText;
  };
  batch::RunRequest request;
  request.inputPath = box("-i", remembered.inputFilePath);
  request.outputPath = box("-o", request.inputPath == remembered.inputFilePath
                                     ? remembered.outputFilePath
                                     : batch::DefaultOutputPath(request.inputPath, settings));
  request.region = box("-d", FirstRegion(remembered.selectPref, regions));
  request.startRow = box("-l", remembered.startRow);
  request.addressFields.assign(remembered.adrFields.begin(), remembered.adrFields.end());
  // -f 5,6: the address is joined from fields 5 and 6, as from the window's boxes 住所１ and
  // 住所２.
  if (const auto fields = options.Value("-f"))
    request.addressFields = batch::SplitFields(text::FromUtf8(*fields), u",");
  // The remembered entries of mok.ini are the desktop program's: changed only when asked.
  request.remember = options.Has("--remember");
  return request;
}

// Without -f, the fields the input's records propose, named on the first line of output.
void ProposeAddressFields(const ParsedOptions& options, const db::AddressDatabase& database,
                          batch::RunRequest& request, bool quiet) {
  if (options.Has("-f"))
    return;
  const AddressFieldChoice choice = ChooseAddressFields(database, request);
  request.addressFields = choice.fields;
  if (!quiet && !choice.line.empty()) {
    std::printf("%s\n", choice.line.c_str());
    std::fflush(stdout);
  }
}

void ListRegions(const std::vector<std::u16string>& regions) {
  std::string names;
  for (const auto& r : regions)
    names += (names.empty() ? "" : ", ") + text::ToUtf8(r);
  std::fprintf(stderr, "regions: %s\n", names.empty() ? "(none; see mok2 db)" : names.c_str());
}

// --encoding and --output-encoding, for this run only (the settings file keeps its own choice);
// false after the message when one names no encoding.
bool TakeEncodings(const ParsedOptions& options, Settings& settings) {
  const std::pair<const char*, std::u16string*> options_[] = {
      {"--encoding", &settings.inputEncoding}, {"--output-encoding", &settings.outputEncoding}};
  for (const auto& [name, setting] : options_) {
    const auto encoding = options.Value(name);
    if (!encoding)
      continue;
    const auto parsed = text::ParseEncoding(text::FromUtf8(*encoding));
    if (!parsed) {
      std::fprintf(stderr, "mok2 convert: unknown encoding %s for %s (cp932, utf8, utf8-bom)\n",
                   encoding->c_str(), name);
      return false;
    }
    *setting = text::EncodingKey(*parsed);
  }
  return true;
}

// What is said after the run: the summary of a run that started; for one that did not, the
// regions when the one asked for is not among them, or why nothing was converted.
void Report(const batch::RunOutcome& outcome, const batch::ConversionRun& run,
            const batch::RunRequest& request, const std::vector<std::u16string>& regions,
            bool quiet) {
  if (!quiet && outcome.End() != batch::RunEnd::NotStarted) {
    const SummaryLanguage language = SummaryLanguageOfEnvironment();
    std::printf("%s\n", ConvertSummary(outcome, run.LastRunFiles(), language).c_str());
    if (outcome.End() == batch::RunEnd::Finished)
      std::printf("%s\n", OutputLine(run.LastRunFiles(), language).c_str());
  } else if (outcome.End() == batch::RunEnd::NotStarted &&
             std::find(regions.begin(), regions.end(), request.region) == regions.end()) {
    ListRegions(regions);
  } else if (outcome.End() == batch::RunEnd::NotStarted && !quiet) {
    std::fputs(
        "mok2 convert: nothing was converted (see the message above; a start row past the\n"
        "end of the input, or an input that cannot be read, also ends here)\n",
        stderr);
  }
  std::fflush(stdout);
}

}  // namespace

int Convert(const ParsedOptions& options) {
  TerminalPrompter terminal(!options.Has("--no"));
  const bool quiet = options.Has("--quiet") || options.Has("-q");
  ProgressBar bar(!quiet);
  ConvertPrompter prompter(terminal, bar, options.Has("--yes"));

  const SessionCommand step("convert", options, {.databaseFailureAsMessage = true});
  const std::unique_ptr<batch::Session> session = step.Open(prompter);
  if (!session)
    return 1;
  const std::optional<unsigned> jobs = step.Jobs(session->settings);
  if (!jobs)
    return 2;
  session->settings.jobs = static_cast<int16_t>(*jobs);

  const std::vector<std::u16string>& regions = session->database.RegionList();
  batch::RunRequest request =
      RequestOf(options, LoadCurrentState(session->settingsFilePath), session->settings, regions);
  if (request.addressFields.size() > batch::kMaxAddressFields) {
    std::fputs("mok2 convert: at most four address fields (-f 5,6)\n", stderr);
    return 1;
  }
  // Without a region the run would end silently (the desktop program shows nothing either, as
  // its combo box is in plain sight); on a terminal, say what is missing.
  if (request.region.empty()) {
    std::fputs("mok2 convert: no region given (-d REGION)\n", stderr);
    ListRegions(regions);
    return 1;
  }
  if (!TakeEncodings(options, session->settings))
    return 1;
  // For this run only: the settings file keeps its NOTOVERWRITE.
  if (options.Has("--unprocessed-only"))
    session->settings.notOverwrite = true;
  ProposeAddressFields(options, session->database, request, quiet);
  if (request.remember)
    CreateNewSettingsFile(session->settingsFilePath);

  TerminalObserver observer(bar, session->settings);
  batch::ConversionRun run(*session, prompter, observer);
  const batch::RunOutcome outcome = [&] {
    const StopSignals signals;
    return run.Execute(request);
  }();
  bar.Clear();
  Report(outcome, run, request, regions, quiet);
  return ExitStatus(outcome);
}

Command ConvertCommand() {
  return {
      .name = "convert",
      .arguments = "",
      .wordCount = 0,
      .summary = "convert a whole input file (-d REGION -i IN -o OUT ...)",
      .description =
          "Converts every record of an input file (CSV in CP932 or UTF-8) as the desktop\n"
          "program's run button does. The input's encoding is told from its bytes unless\n"
          "--encoding or INPUTENCODING in the settings file names it; the output is written\n"
          "in the input's encoding unless\n"
          "--output-encoding or OUTPUTENCODING in the settings file names another. Options\n"
          "not given take the values the desktop program remembered in the settings file\n"
          "(the region 全国 when none is remembered and the nationwide databases are there);\n"
          "the run changes them only with --remember. Without -f the address field is the\n"
          "one whose values look most like addresses (two fields when the address is split\n"
          "over 住所1 and 住所2), named on the first line of output.\n"
          "Ctrl-C asks whether to stop (answered by --yes/--no); the records before it are kept.\n"
          "An existing output that is not this input's earlier output is replaced only with\n"
          "--yes. Without -o the output is <input>_結果.csv beside the input (or the one\n"
          "remembered for this input); an output ending in .xlsx is an Excel workbook.\n"
          "Exit status: 0 finished, every record converted; 3 finished with records that\n"
          "failed or have an empty address (空欄); 1 not started or failed (or an incomplete\n"
          "error list); 130 stopped.\n",
      .options = {{"-d", "REGION", "region (region database) to convert against", true},
                  {"-i", "FILE", "input file", true},
                  {"-o", "FILE", "output file", true},
                  {"-l", "ROW",
                   "first line to convert (1-based, at least 1; 2 skips a header line)", true},
                  {"-f", "FIELD[,FIELD]",
                   "number of the address field (1-based); up to four "
                   "fields joined in order (-f 5,6); default: the one proposed from the records",
                   true},
                  {"--encoding", "ENC",
                   "the input's encoding: cp932 or utf8 (default: from its bytes)"},
                  {"--unprocessed-only", "",
                   "convert only the records that failed in the existing output (as "
                   "NOTOVERWRITE=1)"},
                  {"--remember", "",
                   "remember the region, files, start row and fields in the settings file for "
                   "the desktop program"},
                  {"--output-encoding", "ENC", "cp932, utf8 or utf8-bom (default: as the input)"},
                  kDbDirOption,
                  kMainDbOption,
                  kIniOption,
                  kMatchOption,
                  kJobsOption,
                  {"--yes", "",
                   "answer Yes to every question, also to replacing an existing "
                   "file that is not this input's output"},
                  {"--no", "", "answer No to every question"},
                  {"--quiet", "", "no progress bar and no summary"},
                  {"-q", "", "the same as --quiet"}},
      .run = Convert,
  };
}

}  // namespace mok::app
