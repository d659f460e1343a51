// A whole conversion run: the input bytes are a settings file, an input file and an earlier
// output, separated by NUL bytes (a missing part is no file). The run goes over the small
// database of tests/fuzz/data with one worker and again with two to four (the input's length
// chooses), from the same files: the output and the error list of both runs are the same bytes,
// both runs end the same way, and a finished run's output ends with a complete line.
#include "batch/conversion_run.h"
#include "batch/session.h"
#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "fuzz/fuzz_target.h"
#include "startup/settings_file.h"

namespace mok {
namespace {

namespace fs = std::filesystem;

struct Fixture {
  Fixture() {
    const fs::path data = fs::path(MOK_SOURCE_DIR) / "tests/fuzz/data";
    db::CreateMainDatabase(dir, fs::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(dir, u"テスト", data / "towns.csv");
    db::ImportPostal(dir, u"テスト", data / "postal.csv");
    // A few residences of 丸の内一丁目: runs read them through the handle their reads hold.
    db::ImportRegistry(
        dir, u"テスト",
        {data / "mt_rsdtdsp_rsdt_city131016.csv", data / "mt_rsdtdsp_rsdt_pos_city131016.csv"});
  }
  const fs::path dir = fuzz::ScratchPath("run-db");
};

// The part `index` of the input split at NUL bytes; nullopt when the input has fewer parts.
std::optional<std::string_view> Part(std::string_view input, std::size_t index) {
  for (std::size_t i = 0; i < index; ++i) {
    const std::size_t end = input.find('\0');
    if (end == std::string_view::npos)
      return std::nullopt;
    input.remove_prefix(end + 1);
  }
  return input.substr(0, input.find('\0'));
}

void Place(const fs::path& path, std::optional<std::string_view> bytes) {
  std::error_code ignored;
  fs::remove(path, ignored);
  if (bytes)
    std::ofstream(path, std::ios::binary) << *bytes;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RunResult {
  batch::RunEnd end;
  std::string output;
  std::string errorList;
};

// One run with `jobs` workers over the files placed afresh.
RunResult RunOnce(const Fixture& fixture, std::string_view input, int16_t jobs) {
  const fs::path ini = fuzz::ScratchPath("mok.ini"), in = fuzz::ScratchPath("in.csv"),
                 out = fuzz::ScratchPath("out.csv"), errors = fuzz::ScratchPath("out.err");
  Place(ini, Part(input, 0));
  Place(in, Part(input, 1));
  Place(out, Part(input, 2));
  Place(errors, std::nullopt);
  test::RecordingPrompter prompter;
  batch::Session session(ini.u16string(), prompter, fixture.dir.u16string());
  session.settings.jobs = jobs;
  MOK_FUZZ_CHECK(session.OpenDatabase().ok());
  batch::NullRunObserver observer;
  batch::ConversionRun run(session, prompter, observer);
  const batch::RunOutcome outcome =
      run.Execute({.inputPath = in.u16string(),
                   .outputPath = out.u16string(),
                   .region = u"テスト",
                   .startRow = input.size() & 1 ? u"2" : u"1",
                   .addressFields = {input.size() & 2 ? u"2" : u"1"}});
  return {outcome.End(), Bytes(out), Bytes(errors)};
}

}  // namespace

MOK_FUZZ_TARGET(run) {
  static const Fixture fixture;
  const RunResult one = RunOnce(fixture, input, 1);
  const RunResult many = RunOnce(fixture, input, static_cast<int16_t>(2 + input.size() % 3));
  MOK_FUZZ_CHECK(one.end == many.end);
  MOK_FUZZ_CHECK(one.output == many.output && one.errorList == many.errorList);
  MOK_FUZZ_CHECK(one.end != batch::RunEnd::Finished || one.output.empty() ||
                 one.output.ends_with('\n'));
}

}  // namespace mok
