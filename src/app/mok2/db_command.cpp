// mok2 db: builds the address databases of a data folder from open data files.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "build_stop_signals.h"
#include "commands.h"
#include "db/import/block_import.h"
#include "db/import/import_error.h"
#include "db/import/import_support.h"
#include "db/import/japan_build.h"
#include "db/import/main_copy.h"
#include "db/import/main_database_import.h"
#include "db/import/mdb_import.h"
#include "db/import/postal_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "db/pg_connection.h"
#include "text/text.h"

namespace mok::app {
namespace {

namespace fs = std::filesystem;
using db::FormatCount;

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
  // The source tree's data beside a build folder, or the installed program's shared data.
  for (const fs::path& candidate : {dir / ".." / ".." / "data", dir / ".." / "data", dir / "data",
                                    dir / ".." / "share" / "mok2" / "data"}) {
    const fs::path file = candidate / "prefectures.csv";
    if (fs::exists(file, ec))
      return file.lexically_normal();
  }
  std::fprintf(stderr,
               "mok2 db %s: cannot find prefectures.csv beside the program "
               "(looked in %s/../../data, %s/../data, %s/data and %s/../share/mok2/data); give the "
               "folder with --data DIR\n",
               command, dir.string().c_str(), dir.string().c_str(), dir.string().c_str(),
               dir.string().c_str());
  return std::nullopt;
}

int Create(const ParsedOptions& o) {
  const auto prefectures = FindPrefectures(o.Value("--data"));
  if (!prefectures)
    return 1;
  const std::u16string target = text::FromUtf8(o.words[0]);
  if (db::IsServerName(target)) {
    const auto report = db::CreateServerMainDatabase(target, *prefectures, o.Has("--force"));
    std::printf("%s: %s prefectures, empty region list and learning dictionary\n",
                o.words[0].c_str(), Utf8(FormatCount(report.prefectures)).c_str());
    return 0;
  }
  const fs::path dir = o.words[0];
  const auto report = db::CreateMainDatabase(dir, *prefectures, o.Has("--force"));
  std::printf("%s: %s prefectures, empty region list and learning dictionary\n",
              db::MainDatabaseFile(dir).string().c_str(),
              Utf8(FormatCount(report.prefectures)).c_str());
  return 0;
}

// The files of a registry folder, in name order; none when the folder does not exist.
std::vector<fs::path> RegistryFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file(ec))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

int BuildJapan(const ParsedOptions& o) {
  const auto prefectures = FindPrefectures(o.Value("--data"), "build-japan");
  if (!prefectures)
    return 1;
  const fs::path data = prefectures->parent_path();
  const db::JapanBuildInputs inputs{
      *prefectures, o.Value("--towns").value_or((data / "japan-towns.csv.xz").string()),
      o.Value("--postal").value_or((data / "KEN_ALL.CSV").string()),
      RegistryFiles(o.Value("--abr").value_or((data / "abr").string()))};
  const fs::path dir = o.words[0];
  const BuildStopSignals stopSignals;
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // A line per region as its file is complete, on standard error beside the progress bars.
  const auto report =
      db::BuildJapan(dir, inputs, {.force = o.Has("--force")}, [&](const auto& region) {
        std::fprintf(stderr, "%6.1f s  %s: %s towns in %s municipalities, %s postal records",
                     seconds(), Utf8(region.region).c_str(),
                     Utf8(FormatCount(region.towns)).c_str(),
                     Utf8(FormatCount(region.municipalities)).c_str(),
                     Utf8(FormatCount(region.postalRecords)).c_str());
        if (region.residences + region.parcels > 0) {
          std::fprintf(stderr, ", %s residences, %s parcels",
                       Utf8(FormatCount(region.residences)).c_str(),
                       Utf8(FormatCount(region.parcels)).c_str());
        }
        std::fprintf(stderr, "\n");
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
  const auto& nationwide = report.regions.back();
  if (!inputs.registry.empty()) {
    std::printf("  registry: %s residences and %s parcels with a point in 全国",
                Utf8(FormatCount(nationwide.residences)).c_str(),
                Utf8(FormatCount(nationwide.parcels)).c_str());
    std::printf(" (%s rows without a point, %s whose town 全国 lacks, %s malformed)\n",
                Utf8(FormatCount(report.registryWithoutPosition)).c_str(),
                Utf8(FormatCount(nationwide.registryUnmatched)).c_str(),
                Utf8(FormatCount(report.registryMalformed.count)).c_str());
  }
  std::printf("  regions in ＤＢ一覧: %s %lld ... %s %lld\n",
              Utf8(report.regions.front().region).c_str(),
              static_cast<long long>(report.regions.front().regionId),
              Utf8(report.regions.back().region).c_str(),
              static_cast<long long>(report.regions.back().regionId));
  return 0;
}

int ImportTowns(const ParsedOptions& o) {
  const std::u16string region = text::FromUtf8(o.words[1]);
  const auto r = db::ImportTowns(o.words[0], region, o.words[2],
                                 text::FromUtf8(o.Value("--pref").value_or("")));
  std::printf("%s: %s towns (%s added), %s block rows, %s municipalities from %s source rows\n",
              o.words[1].c_str(), Utf8(FormatCount(r.towns)).c_str(),
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
  std::printf("  region %s is number %lld in ＤＢ一覧\n", o.words[1].c_str(),
              static_cast<long long>(r.regionId));
  return 0;
}

int ImportBlocks(const ParsedOptions& o) {
  const std::u16string region = text::FromUtf8(o.words[1]);
  const auto r = db::ImportBlocks(o.words[0], region, o.words[2],
                                  o.Has("--codes") ? fs::path(*o.Value("--codes")) : fs::path());
  std::printf(
      "%s: %s block rows added, %s updated, %s towns added, %s municipalities, "
      "%s representative rows replaced\n",
      o.words[1].c_str(), Utf8(FormatCount(r.blockRows)).c_str(),
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

int ImportPostal(const ParsedOptions& o) {
  const std::u16string region = text::FromUtf8(o.words[1]);
  const auto r = db::ImportPostal(o.words[0], region, o.words[2]);
  std::printf(
      "%s: %s postal records added from %s lines (%s continuation lines joined, "
      "%s \"以下に掲載がない場合\" rows dropped, %s duplicates, %s already present)\n",
      o.words[1].c_str(), Utf8(FormatCount(r.records)).c_str(),
      Utf8(FormatCount(r.sourceLines)).c_str(), Utf8(FormatCount(r.joinedLines)).c_str(),
      Utf8(FormatCount(r.droppedOthers)).c_str(), Utf8(FormatCount(r.duplicates)).c_str(),
      Utf8(FormatCount(r.alreadyPresent)).c_str());
  if (r.wholeMunicipality > 0) {
    std::printf("  %s records for a whole municipality (一円 etc.) have an empty place name\n",
                Utf8(FormatCount(r.wholeMunicipality)).c_str());
  }
  return 0;
}

// A list of names with their row counts on standard error, at most `shown` of them.
void PrintCounts(const std::vector<std::pair<std::u16string, int64_t>>& counts,
                 std::size_t shown = 20) {
  for (std::size_t i = 0; i < counts.size() && i < shown; ++i) {
    std::fprintf(stderr, "    %s: %s\n", Utf8(counts[i].first).c_str(),
                 Utf8(FormatCount(counts[i].second)).c_str());
  }
  if (counts.size() > shown)
    std::fprintf(stderr, "    ... and %zu more\n", counts.size() - shown);
}

// What the registry import left out: a warning each on standard error.
void PrintRegistryWarnings(const db::RegistryImportReport& r) {
  auto warn = [](int64_t count, const char* what) {
    if (count > 0)
      std::fprintf(stderr, "warning: %s %s\n", Utf8(FormatCount(count)).c_str(), what);
  };
  int64_t withoutPosition = 0, orphans = 0, duplicates = 0, abolished = 0, unmatched = 0, other = 0;
  for (std::size_t k = 0; k < r.read.kinds.size(); ++k) {
    withoutPosition += r.read.kinds[k].withoutPosition;
    orphans += r.read.kinds[k].positionsWithoutMaster;
    duplicates += r.read.kinds[k].duplicatePositions;
    abolished += r.read.kinds[k].abolished;
    unmatched += r.written.kinds[k].unmatched;
    other += r.written.kinds[k].otherRegion;
  }
  warn(withoutPosition, "rows without a position (not stored)");
  warn(orphans, "positions without a master row (not stored)");
  warn(duplicates, "positions listed again with the ids of an earlier one (the first kept)");
  warn(abolished, "abolished rows (廃止日 set; not stored)");
  warn(r.written.withoutZone + r.written.blocks.withoutZone,
       "points without plane X/Y (their zone is not known)");
  warn(r.written.blocks.withoutNumber,
       "blocks whose 街区符号 is not a plain number (no block row)");
  warn(r.written.blocks.withoutTable, "blocks of towns that name no block table (no block row)");
  warn(unmatched, "rows match no town of the region (not stored), by town:");
  PrintCounts(r.written.unmatchedTowns);
  warn(other, "rows of municipalities the region does not hold (not stored):");
  PrintCounts(r.written.otherMunicipalities);
  warn(r.read.malformed.count, "malformed rows (not stored), for example:");
  for (const auto& example : r.read.malformed.examples)
    std::fprintf(stderr, "    %s\n", Utf8(example).c_str());
}

int ImportAbr(const ParsedOptions& o) {
  if (o.words.size() < 3) {
    std::fprintf(stderr, "mok2 db import-abr: expected DIR REGION FILE..., got %zu arguments\n",
                 o.words.size());
    return 2;
  }
  const std::u16string region = text::FromUtf8(o.words[1]);
  const std::vector<fs::path> files(o.words.begin() + 2, o.words.end());
  const auto start = std::chrono::steady_clock::now();
  const auto r = db::ImportRegistry(o.words[0], region, files);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  using db::RegistryKind;
  const auto& residences = r.written.Of(RegistryKind::Residence);
  const auto& parcels = r.written.Of(RegistryKind::Parcel);
  std::printf("%s: %s residences and %s parcels stored in %.1f s\n", o.words[1].c_str(),
              Utf8(FormatCount(residences.stored)).c_str(),
              Utf8(FormatCount(parcels.stored)).c_str(), seconds);
  std::printf(
      "  %s registry blocks, %s blocks at the centre of their residences, %s kept from "
      "other sources\n",
      Utf8(FormatCount(r.written.blocks.registry)).c_str(),
      Utf8(FormatCount(r.written.blocks.derived)).c_str(),
      Utf8(FormatCount(r.written.blocks.kept)).c_str());
  std::printf("  replaced from an earlier import: %s residences, %s parcels, %s block rows\n",
              Utf8(FormatCount(residences.replaced)).c_str(),
              Utf8(FormatCount(parcels.replaced)).c_str(),
              Utf8(FormatCount(r.written.blocks.removed)).c_str());
  std::printf("  region %s is number %lld in ＤＢ一覧\n", o.words[1].c_str(),
              static_cast<long long>(r.regionId));
  PrintRegistryWarnings(r);
  return 0;
}

int CopyMain(const ParsedOptions& o) {
  const auto r = db::CopyMainDatabase(text::FromUtf8(o.words[0]), text::FromUtf8(o.words[1]),
                                      o.Has("--force"));
  std::printf("%s -> %s: %s prefectures, %s regions, %s learned words (%s uses)\n",
              Utf8(r.from).c_str(), Utf8(r.to).c_str(), Utf8(FormatCount(r.prefectures)).c_str(),
              Utf8(FormatCount(r.regions)).c_str(), Utf8(FormatCount(r.words)).c_str(),
              Utf8(FormatCount(r.uses)).c_str());
  return 0;
}

int ImportMdb(const ParsedOptions& o) {
  const auto r = db::ImportMdb(o.words[0], o.words[1]);
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

// The main database's commands: made in a folder or on a server, and moved between them.
std::vector<Command> MainDatabaseCommands(const OptionRule& force, const OptionRule& data) {
  return {
      {.name = "db create",
       .arguments = "DIR|SERVER",
       .wordCount = 1,
       .summary = "create the main database mok2.sqlite, or on a server",
       .description =
           "Creates DIR/mok2.sqlite, or the main database's tables on a PostgreSQL server\n"
           "(postgresql://host/dbname; the database made with createdb -E UTF8, the password\n"
           "in ~/.pgpass): prefecture names from prefectures.csv of the data folder, an empty\n"
           "region list and learning dictionary.\n",
       .options = {force, data},
       .run = Create},
      {.name = "db copy-main",
       .arguments = "FROM TO",
       .wordCount = 2,
       .summary = "copy a main database between a folder and a server",
       .description =
           "Copies the main database FROM (a folder's mok2.sqlite or a server,\n"
           "postgresql://host/dbname) to TO, in either direction: prefectures, regions and\n"
           "the learning dictionary with its counts, in one transaction on TO. TO is made\n"
           "when missing; one that holds regions or learned words is replaced only with\n"
           "--force.\n",
       .options = {force},
       .run = CopyMain},
  };
}

}  // namespace

std::vector<Command> DbCommands() {
  const OptionRule force{"--force", "", "replace what exists already"};
  const OptionRule data{"--data", "DIR", "the folder of prefectures.csv and the bundled data"};
  std::vector<Command> commands = MainDatabaseCommands(force, data);
  const std::vector<Command> regionCommands = {
      {.name = "db build-japan",
       .arguments = "DIR",
       .wordCount = 1,
       .summary = "build the whole country: a region per prefecture and 全国",
       .description =
           "Builds DIR/mok2.sqlite when missing, one region per prefecture (DIR/北海道.sqlite\n"
           "... DIR/沖縄県.sqlite, each with its own towns and postal codes) and the region 全国\n"
           "with all of them, every region listed in ＤＢ一覧; reads japan-towns.csv.xz,\n"
           "KEN_ALL.CSV and the registry files in abr/ of the data folder (or those given).\n",
       .options = {force,
                   data,
                   {"--towns", "FILE", "the town list to read"},
                   {"--postal", "FILE", "the postal-code file to read"},
                   {"--abr", "DIR",
                    "the Address Base Registry files to import (every file of DIR)"}},
       .run = BuildJapan},
      {.name = "db import-towns",
       .arguments = "DIR REGION FILE",
       .wordCount = 3,
       .summary = "import a town list (Geolonia CSV) into DIR/REGION.sqlite",
       .description = "Imports a town list (Geolonia CSV: UTF-8 with or without BOM, or CP932;\n"
                      "plain or .xz) into DIR/REGION.sqlite, X/Y computed with PROJ.\n",
       .options = {{"--pref", "NAME", "keep only the rows of one prefecture (東京都)"}},
       .run = ImportTowns},
      {.name = "db import-blocks",
       .arguments = "DIR REGION FILE",
       .wordCount = 3,
       .summary = "import block-level positions (MLIT CSV) into DIR/REGION.sqlite",
       .description = "Imports block-level positions (MLIT 街区レベル位置参照情報, CP932);\n"
                      "municipality codes come from the database or from the KEN_ALL file given.\n",
       .options = {{"--codes", "KEN_ALL.CSV", "municipality codes for new municipalities"}},
       .run = ImportBlocks},
      {.name = "db import-postal",
       .arguments = "DIR REGION FILE",
       .wordCount = 3,
       .summary = "import postal codes (Japan Post KEN_ALL CSV) into DIR/REGION.sqlite",
       .description = "Imports postal codes (Japan Post KEN_ALL CSV, CP932).\n",
       .options = {},
       .run = ImportPostal},
      {.name = "db import-abr",
       .arguments = "DIR REGION FILE...",
       .wordCount = std::nullopt,
       .summary = "import Address Base Registry files into DIR/REGION.sqlite",
       .description =
           "Imports residences (mt_rsdtdsp_rsdt_* with mt_rsdtdsp_rsdt_pos_*), parcels\n"
           "(mt_parcel_city* with mt_parcel_pos_city*) and blocks (mt_rsdtdsp_blk_* with\n"
           "mt_rsdtdsp_blk_pos_*) of the Address Base Registry, .csv or .csv.zip as the\n"
           "registry serves them, into the region's towns (the region must have them).\n"
           "A municipality imported again has its earlier rows replaced, in one transaction.\n",
       .options = {},
       .run = ImportAbr},
      {.name = "db import-mdb",
       .arguments = "DIR FILE.mdb",
       .wordCount = 2,
       .summary = "convert a legacy Access database into DIR",
       .description =
           "Converts a legacy Access database (mok2.mdb or a region database) into DIR.\n"
           "Every import runs in one transaction: on failure the databases stay as they\n"
           "were.\n",
       .options = {},
       .run = ImportMdb},
  };
  commands.insert(commands.end(), regionCommands.begin(), regionCommands.end());
  return commands;
}

}  // namespace mok::app
