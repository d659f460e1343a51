// mok2 db: builds the address databases of a data folder from open data files.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "db/import/block_import.h"
#include "db/import/import_error.h"
#include "db/import/import_support.h"
#include "db/import/japan_build.h"
#include "db/import/main_database_import.h"
#include "db/import/mdb_import.h"
#include "db/import/postal_import.h"
#include "db/import/town_import.h"
#include "text/text.h"

namespace mok::app {
namespace {

namespace fs = std::filesystem;
using db::FormatCount;

constexpr char kUsage[] =
    "usage: mok2 db <command> ...\n"
    "  create DIR [--force] [--data DIR]\n"
    "      create DIR/mok2.sqlite: prefecture names from prefectures.csv of the data folder,\n"
    "      empty region list and learning dictionary; --force replaces an existing one\n"
    "  build-japan DIR [--force] [--data DIR] [--towns FILE] [--postal FILE]\n"
    "      build the whole country: DIR/mok2.sqlite when missing, one region per prefecture\n"
    "      (DIR/北海道.sqlite ... DIR/沖縄県.sqlite, each with its own towns and postal codes)\n"
    "      and the region 全国 with all of them, every region listed in ＤＢ一覧; reads\n"
    "      japan-towns.csv.xz and KEN_ALL.CSV of the data folder (or the files given);\n"
    "      --force replaces region databases that exist already\n"
    "  import-towns DIR REGION FILE [--pref NAME]\n"
    "      import a town list (Geolonia CSV: UTF-8 with or without BOM, or CP932; plain or\n"
    "      .xz) into DIR/REGION.sqlite; --pref keeps only the rows of one prefecture (東京都)\n"
    "  import-blocks DIR REGION FILE [--codes KEN_ALL.CSV]\n"
    "      import block-level positions (MLIT CSV, CP932) into DIR/REGION.sqlite;\n"
    "      municipality codes come from the database or from the KEN_ALL file given\n"
    "  import-postal DIR REGION FILE\n"
    "      import postal codes (Japan Post KEN_ALL CSV, CP932) into DIR/REGION.sqlite\n"
    "  import-mdb DIR FILE.mdb\n"
    "      convert a legacy Access database (mok2.mdb or a region database) into DIR\n"
    "Every import runs in one transaction: on failure the databases stay as they were.\n";

struct Options {
  std::vector<std::string> positional;
  std::optional<std::string> pref, codes, data, towns, postal;
  bool force = false;
  bool help = false;
};

// Where the value of option `name` goes; null for an option without a value.
std::optional<std::string>* ValueSlot(Options& options, const std::string& name) {
  if (name == "--pref")
    return &options.pref;
  if (name == "--codes")
    return &options.codes;
  if (name == "--data")
    return &options.data;
  if (name == "--towns")
    return &options.towns;
  if (name == "--postal")
    return &options.postal;
  return nullptr;
}

// Splits the arguments into positional words and the options the subcommand allows.
std::optional<Options> ParseOptions(const Args& args, std::size_t from,
                                    const std::vector<std::string>& allowed) {
  Options options;
  auto allows = [&](const std::string& name) {
    for (const auto& a : allowed) {
      if (a == name)
        return true;
    }
    return false;
  };
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--force" && allows(arg)) {
      options.force = true;
    } else if (auto* slot = ValueSlot(options, arg); slot && allows(arg)) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "mok2 db: %s needs a value\n", arg.c_str());
        return std::nullopt;
      }
      *slot = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "mok2 db: unknown option '%s'\n", arg.c_str());
      return std::nullopt;
    } else {
      options.positional.push_back(arg);
    }
  }
  return options;
}

std::string Utf8(const std::u16string& s) {
  return text::ToUtf8(s);
}

fs::path ProgramDir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}

// prefectures.csv: from --data, else the data folder of the source tree or the installation.
std::optional<fs::path> FindPrefectures(const std::optional<std::string>& dataDir,
                                        const char* command = "create") {
  std::error_code ec;
  if (dataDir) {
    const fs::path file = fs::path(*dataDir) / "prefectures.csv";
    if (fs::exists(file, ec))
      return file;
    std::fprintf(stderr, "mok2 db %s: %s does not exist\n", command, file.string().c_str());
    return std::nullopt;
  }
  const fs::path dir = ProgramDir();
  for (const fs::path& candidate :
       {dir / ".." / ".." / "data", dir / ".." / "data", dir / "data"}) {
    const fs::path file = candidate / "prefectures.csv";
    if (fs::exists(file, ec))
      return file.lexically_normal();
  }
  std::fprintf(
      stderr,
      "mok2 db %s: cannot find prefectures.csv beside the program "
      "(looked in %s/../../data, %s/../data and %s/data); give the folder with --data DIR\n",
      command, dir.string().c_str(), dir.string().c_str(), dir.string().c_str());
  return std::nullopt;
}

int Create(const Options& o) {
  const auto prefectures = FindPrefectures(o.data);
  if (!prefectures)
    return 1;
  const fs::path dir = o.positional[0];
  const auto report = db::CreateMainDatabase(dir, *prefectures, o.force);
  std::printf("%s: %s prefectures, empty region list and learning dictionary\n",
              db::MainDatabaseFile(dir).string().c_str(),
              Utf8(FormatCount(report.prefectures)).c_str());
  return 0;
}

int BuildJapan(const Options& o) {
  const auto prefectures = FindPrefectures(o.data, "build-japan");
  if (!prefectures)
    return 1;
  const fs::path data = prefectures->parent_path();
  const db::JapanBuildInputs inputs{*prefectures, o.towns.value_or(data / "japan-towns.csv.xz"),
                                    o.postal.value_or(data / "KEN_ALL.CSV")};
  const fs::path dir = o.positional[0];
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // A line per region as its file is complete, on standard error beside the progress bars.
  const auto report = db::BuildJapan(dir, inputs, {.force = o.force}, [&](const auto& region) {
    std::fprintf(stderr, "%6.1f s  %s: %s towns in %s municipalities, %s postal records\n",
                 seconds(), Utf8(region.region).c_str(), Utf8(FormatCount(region.towns)).c_str(),
                 Utf8(FormatCount(region.municipalities)).c_str(),
                 Utf8(FormatCount(region.postalRecords)).c_str());
  });
  std::printf(
      "%s: %zu regions (%zu prefectures and 全国) in %.1f s, from %s town rows (%s towns)\n"
      "  and %s postal lines (%s records)\n",
      dir.string().c_str(), report.regions.size(), report.regions.size() - 1, seconds(),
      Utf8(FormatCount(report.townRows)).c_str(), Utf8(FormatCount(report.towns)).c_str(),
      Utf8(FormatCount(report.postalLines)).c_str(),
      Utf8(FormatCount(report.postalRecords)).c_str());
  if (report.createdMainDatabase)
    std::printf("  created %s\n", db::MainDatabaseFile(dir).string().c_str());
  if (report.withoutTownName > 0) {
    std::printf("  %s town rows without a town name skipped\n",
                Utf8(FormatCount(report.withoutTownName)).c_str());
  }
  if (report.withoutZone > 0) {
    std::printf("  %s towns have no plane coordinates (their point or zone is not known)\n",
                Utf8(FormatCount(report.withoutZone)).c_str());
  }
  std::printf("  regions in ＤＢ一覧: %s %lld ... %s %lld\n",
              Utf8(report.regions.front().region).c_str(),
              static_cast<long long>(report.regions.front().regionId),
              Utf8(report.regions.back().region).c_str(),
              static_cast<long long>(report.regions.back().regionId));
  return 0;
}

int ImportTowns(const Options& o) {
  const std::u16string region = text::FromUtf8(o.positional[1]);
  const auto r = db::ImportTowns(o.positional[0], region, o.positional[2],
                                 text::FromUtf8(o.pref.value_or("")));
  std::printf("%s: %s towns (%s added), %s block rows, %s municipalities from %s source rows\n",
              o.positional[1].c_str(), Utf8(FormatCount(r.towns)).c_str(),
              Utf8(FormatCount(r.townsAdded)).c_str(), Utf8(FormatCount(r.blockRows)).c_str(),
              Utf8(FormatCount(r.municipalities)).c_str(), Utf8(FormatCount(r.sourceRows)).c_str());
  if (r.keptBlocks > 0) {
    std::printf("  %s towns already had block rows and were left as they were\n",
                Utf8(FormatCount(r.keptBlocks)).c_str());
  }
  if (r.withoutTownName > 0) {
    std::printf("  %s source rows without a town name skipped\n",
                Utf8(FormatCount(r.withoutTownName)).c_str());
  }
  if (r.withoutZone > 0) {
    std::printf("  %s towns have no plane coordinates (their zone is not known)\n",
                Utf8(FormatCount(r.withoutZone)).c_str());
  }
  std::printf("  region %s is number %lld in ＤＢ一覧\n", o.positional[1].c_str(),
              static_cast<long long>(r.regionId));
  return 0;
}

int ImportBlocks(const Options& o) {
  const std::u16string region = text::FromUtf8(o.positional[1]);
  const auto r = db::ImportBlocks(o.positional[0], region, o.positional[2],
                                  o.codes ? fs::path(*o.codes) : fs::path());
  std::printf(
      "%s: %s block rows added, %s updated, %s towns added, %s municipalities, "
      "%s representative rows replaced\n",
      o.positional[1].c_str(), Utf8(FormatCount(r.blockRows)).c_str(),
      Utf8(FormatCount(r.blocksUpdated)).c_str(), Utf8(FormatCount(r.townsAdded)).c_str(),
      Utf8(FormatCount(r.municipalities)).c_str(),
      Utf8(FormatCount(r.representativesReplaced)).c_str());
  // What was left out is a warning on standard error: the import itself went through.
  if (!r.unknownMunicipalities.empty()) {
    std::fprintf(stderr,
                 "warning: skipped, municipality code unknown (give a KEN_ALL file with "
                 "--codes):\n");
    for (const auto& name : r.unknownMunicipalities) {
      std::fprintf(stderr, "    %s\n", Utf8(name).c_str());
    }
  }
  if (!r.badNumbers.empty()) {
    std::fprintf(stderr, "warning: skipped, block number not numeric (line: number):\n");
    for (const auto& line : r.badNumbers)
      std::fprintf(stderr, "    %s\n", Utf8(line).c_str());
  }
  if (r.skippedRows > 0) {
    std::fprintf(stderr, "warning: %s source rows skipped in all\n",
                 Utf8(FormatCount(r.skippedRows)).c_str());
  }
  return 0;
}

int ImportPostal(const Options& o) {
  const std::u16string region = text::FromUtf8(o.positional[1]);
  const auto r = db::ImportPostal(o.positional[0], region, o.positional[2]);
  std::printf(
      "%s: %s postal records added from %s lines (%s continuation lines joined, "
      "%s \"以下に掲載がない場合\" rows dropped, %s duplicates, %s already present)\n",
      o.positional[1].c_str(), Utf8(FormatCount(r.records)).c_str(),
      Utf8(FormatCount(r.sourceLines)).c_str(), Utf8(FormatCount(r.joinedLines)).c_str(),
      Utf8(FormatCount(r.droppedOthers)).c_str(), Utf8(FormatCount(r.duplicates)).c_str(),
      Utf8(FormatCount(r.alreadyPresent)).c_str());
  if (r.wholeMunicipality > 0) {
    std::printf("  %s records for a whole municipality (一円 etc.) have an empty place name\n",
                Utf8(FormatCount(r.wholeMunicipality)).c_str());
  }
  return 0;
}

int ImportMdb(const Options& o) {
  const auto r = db::ImportMdb(o.positional[0], o.positional[1]);
  std::printf("%s: %s tables, %s rows converted\n", Utf8(db::PathText(r.target)).c_str(),
              Utf8(FormatCount(r.tables)).c_str(), Utf8(FormatCount(r.rows)).c_str());
  if (!r.isMain && r.regionId > 0) {
    std::printf("  region %s is number %lld in ＤＢ一覧\n", r.target.stem().string().c_str(),
                static_cast<long long>(r.regionId));
  } else if (!r.isMain) {
    std::printf("  no mok2.sqlite in the folder yet: the region is not listed in ＤＢ一覧\n");
  }
  return 0;
}

struct Subcommand {
  const char* name;
  std::size_t arguments;  // positional arguments
  const char* synopsis;
  std::vector<std::string> options;
  int (*run)(const Options&);
};

const std::vector<Subcommand>& Subcommands() {
  static const std::vector<Subcommand> list = {
      {"create", 1, "create DIR [--force] [--data DIR]", {"--force", "--data"}, Create},
      {"build-japan",
       1,
       "build-japan DIR [--force] [--data DIR] [--towns FILE] [--postal FILE]",
       {"--force", "--data", "--towns", "--postal"},
       BuildJapan},
      {"import-towns", 3, "import-towns DIR REGION FILE [--pref NAME]", {"--pref"}, ImportTowns},
      {"import-blocks",
       3,
       "import-blocks DIR REGION FILE [--codes KEN_ALL.CSV]",
       {"--codes"},
       ImportBlocks},
      {"import-postal", 3, "import-postal DIR REGION FILE", {}, ImportPostal},
      {"import-mdb", 2, "import-mdb DIR FILE.mdb", {}, ImportMdb},
  };
  return list;
}

}  // namespace

int RunDbCommand(const Args& args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  for (const Subcommand& sub : Subcommands()) {
    if (args[0] != sub.name)
      continue;
    const auto options = ParseOptions(args, 1, sub.options);
    if (!options) {
      std::fprintf(stderr, "usage: mok2 db %s\n", sub.synopsis);
      return 2;
    }
    if (options->help) {
      std::printf("usage: mok2 db %s\n\n%s", sub.synopsis, kUsage);
      return 0;
    }
    if (options->positional.size() != sub.arguments) {
      std::fprintf(stderr, "mok2 db %s: expected %zu arguments, got %zu\nusage: mok2 db %s\n",
                   sub.name, sub.arguments, options->positional.size(), sub.synopsis);
      return 2;
    }
    try {
      return sub.run(*options);
    } catch (const db::ImportError& e) {
      std::fprintf(stderr, "mok2 db %s: %s\n", sub.name, e.what());
      return 1;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "mok2 db %s: %s\n", sub.name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "mok2 db: unknown command '%s'\n%s", args[0].c_str(), kUsage);
  return 2;
}

}  // namespace mok::app
