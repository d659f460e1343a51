#include "db/import/main_copy.h"

#include <memory>

#include "db/import/import_support.h"
#include "db/main_store_open.h"

namespace mok::db {

namespace {

std::unique_ptr<MainStore> Opened(DbResult<std::unique_ptr<MainStore>> store,
                                  const std::u16string& name) {
  return std::move(Check(store, name));
}

// Refuses to replace a main database that holds more than prefectures, unless forced.
void CheckReplaceable(MainStore& store, bool force) {
  auto content = ReadMainContent(store);
  const MainContent& held = Check(content, store.Name());
  if (force || (held.regions.empty() && held.words.empty()))
    return;
  throw ImportError(store.Name() + u" already holds " + FormatCount(held.regions.size()) +
                    u" regions and " + FormatCount(held.words.size()) +
                    u" learned words (use --force to replace them)");
}

// A main database file that this copy makes is removed again when the copy fails.
class NewFileGuard {
 public:
  explicit NewFileGuard(const std::u16string& name) {
    std::error_code ec;
    if (!IsServerName(name) && !std::filesystem::exists(std::filesystem::path(name), ec))
      path_ = std::filesystem::path(name);
  }
  ~NewFileGuard() {
    if (path_.empty())
      return;
    std::error_code ec;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
      std::filesystem::remove(path_.string() + suffix, ec);
  }
  void Keep() { path_.clear(); }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::u16string MainDatabaseArgument(const std::u16string& argument) {
  return IsServerName(argument) ? argument : PathText(MainDatabaseFile(argument));
}

MainCopyReport CopyMainDatabase(const std::u16string& from, const std::u16string& to, bool force) {
  MainCopyReport report{MainDatabaseArgument(from), MainDatabaseArgument(to)};
  if (report.from == report.to)
    throw ImportError(u"copy-main: " + report.from + u" would be copied onto itself");
  auto source = Opened(OpenMainStore(report.from), report.from);
  auto content = ReadMainContent(*source);
  const MainContent& copied = Check(content, report.from);
  source.reset();

  if (!IsServerName(to))
    MakeFolder(std::filesystem::path(to));
  NewFileGuard guard(report.to);
  auto target = Opened(CreateMainStore(report.to), report.to);
  CheckReplaceable(*target, force);
  Check(target->ReplaceContent(copied), report.to);
  target.reset();
  guard.Keep();

  report.prefectures = copied.prefectures.size();
  report.regions = copied.regions.size();
  report.words = copied.words.size();
  for (const LearningDictRow& word : copied.words)
    report.uses += word.referenceCount.value_or(0);
  return report;
}

MainDatabaseReport CreateServerMainDatabase(const std::u16string& server,
                                            const std::filesystem::path& prefecturesCsv,
                                            bool force) {
  const std::vector<PrefectureRow> rows = ReadPrefectures(prefecturesCsv);
  auto store = Opened(CreateMainStore(server), server);
  auto held = store->ReadPrefectureRows();
  if (!Check(held, server).empty() && !force)
    throw ImportError(server + u" already holds a main database (use --force to replace it)");
  MainContent content;
  for (const PrefectureRow& row : rows) {
    content.prefectures.push_back(
        {static_cast<int64_t>(content.prefectures.size() + 1), row.name, row.kana,
         row.type.empty() ? std::nullopt : std::optional<std::u16string>(row.type)});
  }
  Check(store->ReplaceContent(content), server);
  return {static_cast<int>(rows.size())};
}

}  // namespace mok::db
