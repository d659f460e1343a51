#include "db/import/japan_build.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "db/import/build_lock.h"
#include "db/import/import_support.h"
#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/registry_import.h"
#include "db/import/staged_database.h"
#include "db/import/town_import.h"
#include "db/schema.h"

namespace mok::db {
namespace {

constexpr std::size_t kPrefectureColumn = 6;  // of a KEN_ALL line

// What goes into one region file.
struct RegionJob {
  std::u16string region;
  std::span<const SourceTown> towns;
  std::vector<PostalRecord> postal;
  RegionBuildReport report;
  std::unique_ptr<StagedDatabase> staged;
};

// Refuses to overwrite region databases unless asked to.
void CheckTargets(const std::filesystem::path& dir, const std::vector<std::u16string>& regions,
                  bool force) {
  if (force)
    return;
  for (const auto& region : regions) {
    const auto file = RegionDatabaseFile(dir, region);
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
      throw ImportError(PathText(file) +
                        u" already exists (use --force to replace the region databases)");
    }
  }
}

// The index of `prefecture` among `names`; throws ImportError with `where` when it is not one.
std::size_t PrefectureIndex(const std::map<std::u16string, std::size_t>& names,
                            const std::u16string& prefecture, const std::u16string& where) {
  auto it = names.find(prefecture);
  if (it == names.end()) {
    throw ImportError(where + u"\"" + prefecture + u"\" is not a prefecture of prefectures.csv");
  }
  return it->second;
}

// The towns sorted into prefecture order (stable: file order within a prefecture); returns the
// end index of each prefecture's range.
std::vector<std::size_t> SortTowns(std::vector<SourceTown>& towns,
                                   const std::map<std::u16string, std::size_t>& names,
                                   const std::filesystem::path& file) {
  std::vector<std::pair<std::size_t, std::size_t>> order;  // prefecture, position
  for (std::size_t i = 0; i < towns.size(); ++i)
    order.emplace_back(PrefectureIndex(names, towns[i].prefecture, PathText(file) + u": "), i);
  std::sort(order.begin(), order.end());
  std::vector<SourceTown> sorted;
  sorted.reserve(towns.size());
  std::vector<std::size_t> ends(names.size(), 0);
  for (const auto& [prefecture, position] : order) {
    sorted.push_back(std::move(towns[position]));
    ends[prefecture] = sorted.size();
  }
  for (std::size_t p = 1; p < ends.size(); ++p)
    ends[p] = std::max(ends[p], ends[p - 1]);
  towns = std::move(sorted);
  return ends;
}

// The cleaned postal records of each prefecture. Split records never cross a prefecture, so
// cleaning prefecture by prefecture gives the records of the whole file.
std::vector<std::vector<PostalRecord>> SplitPostal(
    std::vector<KenAllLine> lines, const std::map<std::u16string, std::size_t>& names,
    const std::filesystem::path& file) {
  std::vector<std::vector<KenAllLine>> groups(names.size());
  for (KenAllLine& line : lines) {
    const std::u16string where =
        PathText(file) + u" line " + text::FromUtf8(std::to_string(line.lineNumber)) + u": ";
    const std::size_t p = PrefectureIndex(names, text::Trim(line.fields[kPrefectureColumn]), where);
    groups[p].push_back(std::move(line));
  }
  std::vector<std::vector<PostalRecord>> records;
  for (const auto& group : groups)
    records.push_back(CleanKenAll(group).records);
  return records;
}

void BuildRegion(const std::filesystem::path& dir, const RegistryRows& registry, RegionJob& job) {
  job.staged = std::make_unique<StagedDatabase>(RegionDatabaseFile(dir, job.region));
  Connection& db = job.staged->db();
  auto transaction = Transaction::Begin(db);
  Check(transaction, job.region);
  Check(CreateRegionSchema(db), job.region);
  TownImportReport towns;
  AddTowns(db, job.towns, towns);
  job.report.towns = towns.townsAdded;
  job.report.municipalities = towns.municipalities;
  job.report.postalRecords = AddPostalRecords(db, job.postal);
  // Every region reads the same registry rows and keeps those of its own municipalities.
  const RegistryWriteReport registryRows = AddRegistryRows(db, registry, true);
  job.report.residences = registryRows.Of(RegistryKind::Residence).stored;
  job.report.parcels = registryRows.Of(RegistryKind::Parcel).stored;
  for (const auto& kind : registryRows.kinds)
    job.report.registryUnmatched += kind.unmatched;
  // The indexes are made after the rows: sorting once is faster than keeping them up to date.
  Check(CreateLookupIndexes(db), job.region);
  Check(transaction->Commit(), job.region);
  job.staged->Finish();
}

// Runs the jobs on `threads` workers, biggest first; rethrows the first failure.
void BuildRegions(const std::filesystem::path& dir, const RegistryRows& registry,
                  std::vector<RegionJob>& jobs, unsigned threads,
                  const std::function<void(const RegionBuildReport&)>& regionBuilt) {
  std::vector<std::size_t> order(jobs.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return jobs[a].towns.size() + jobs[a].postal.size() >
           jobs[b].towns.size() + jobs[b].postal.size();
  });
  std::atomic<std::size_t> next = 0;
  std::atomic<bool> failed = false;
  std::exception_ptr failure;
  std::mutex mutex;
  auto work = [&] {
    const ProgressMute mute;
    while (!failed) {
      const std::size_t n = next++;
      if (n >= order.size())
        return;
      RegionJob& job = jobs[order[n]];
      try {
        BuildRegion(dir, registry, job);
        const std::lock_guard lock(mutex);
        if (regionBuilt)
          regionBuilt(job.report);
      } catch (...) {
        const std::lock_guard lock(mutex);
        if (!failed.exchange(true))
          failure = std::current_exception();
      }
    }
  };
  std::vector<std::jthread> workers;
  const unsigned count = std::max(1u, threads ? threads : std::thread::hardware_concurrency());
  for (unsigned i = 0; i < std::min<std::size_t>(count, jobs.size()); ++i)
    workers.emplace_back(work);
  workers.clear();  // joins
  if (failure)
    std::rethrow_exception(failure);
}

}  // namespace

JapanBuildReport BuildJapan(const std::filesystem::path& dir, const JapanBuildInputs& inputs,
                            const JapanBuildOptions& options,
                            const std::function<void(const RegionBuildReport&)>& regionBuilt) {
  const BuildLock lock(dir);
  const std::vector<PrefectureRow> prefectures = ReadPrefectures(inputs.prefectures);
  std::map<std::u16string, std::size_t> names;
  std::vector<std::u16string> regions;
  for (const auto& row : prefectures) {
    names.emplace(row.FullName(), regions.size());
    regions.push_back(row.FullName());
  }
  regions.push_back(kNationwideRegion);
  CheckTargets(dir, regions, options.force);

  // The postal file is read on a second thread while this one reads the town list.
  auto postalLines = std::async(std::launch::async, [&] {
    const ProgressMute mute;
    return ReadKenAll(inputs.postal);
  });
  // So are the registry files, whose pairing is checked before anything is read.
  const std::vector<RegistryFilePair> registryPairs = PairRegistryFiles(inputs.registry);
  auto registryRows = std::async(std::launch::async, [&] {
    const ProgressMute mute;
    return ReadRegistryFiles(registryPairs);
  });
  JapanBuildReport report;
  TownList list = ReadTownList(inputs.towns);
  report.townRows = list.sourceRows;
  report.towns = static_cast<int64_t>(list.towns.size());
  report.withoutTownName = list.withoutTownName;
  const std::vector<std::size_t> townEnds = SortTowns(list.towns, names, inputs.towns);
  report.withoutZone = ProjectTowns(list.towns);

  std::vector<KenAllLine> lines = postalLines.get();
  report.postalLines = static_cast<int64_t>(lines.size());
  std::vector<std::vector<PostalRecord>> postal =
      SplitPostal(std::move(lines), names, inputs.postal);

  // One job per prefecture with towns, then 全国 with everything (also the postal codes of a
  // prefecture without towns, which could not give a region of its own anything to convert).
  std::vector<RegionJob> jobs;
  RegionJob nationwide{kNationwideRegion, list.towns, {}, {}, {}};
  for (std::size_t p = 0; p < prefectures.size(); ++p) {
    const std::size_t begin = p == 0 ? 0 : townEnds[p - 1];
    std::span<const SourceTown> towns(list.towns.data() + begin, townEnds[p] - begin);
    nationwide.postal.insert(nationwide.postal.end(), postal[p].begin(), postal[p].end());
    if (!towns.empty())
      jobs.push_back({regions[p], towns, std::move(postal[p]), {}, {}});
  }
  report.postalRecords = static_cast<int64_t>(nationwide.postal.size());
  jobs.push_back(std::move(nationwide));
  for (RegionJob& job : jobs)
    job.report.region = job.region;
  const RegistryRows registry = registryRows.get();
  for (const RegistryKindRows& kind : registry.kinds)
    report.registryWithoutPosition += kind.withoutPosition + kind.abolished;
  report.registryMalformed = registry.malformed;
  MakeFolder(dir);
  BuildRegions(dir, registry, jobs, options.threads, regionBuilt);

  // Every region file is complete: create the main database when missing, move the files into
  // place and list them.
  std::error_code ec;
  if (!std::filesystem::exists(MainDatabaseFile(dir), ec)) {
    CreateMainDatabase(dir, inputs.prefectures);
    report.createdMainDatabase = true;
  }
  for (RegionJob& job : jobs)
    job.staged->Install();
  Connection mainDb = OpenMainDatabaseFile(dir);
  auto transaction = Transaction::Begin(mainDb);
  Check(transaction, u"mok2.sqlite");
  for (RegionJob& job : jobs) {
    job.report.regionId = RegisterRegion(mainDb, job.region);
    report.regions.push_back(job.report);
  }
  Check(transaction->Commit(), u"mok2.sqlite");
  return report;
}

}  // namespace mok::db
