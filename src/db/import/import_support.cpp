#include "db/import/import_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "db/address_database.h"
#include "db/schema.h"
#include "text/text.h"

namespace mok::db {

std::filesystem::path MainDatabaseFile(const std::filesystem::path& dir) {
  return dir / "mok2.sqlite";
}

std::filesystem::path RegionDatabaseFile(const std::filesystem::path& dir,
                                         std::u16string_view region) {
  return dir / (text::ToUtf8(region) + ".sqlite");
}

void CheckRegionName(std::u16string_view region) {
  if (!IsRegionName(region)) {
    throw ImportError(u"\"" + std::u16string(region) +
                      u"\" cannot be a region name (it names the file <region>.sqlite)");
  }
}

void MakeFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    throw ImportError(u"cannot create the folder " + PathText(dir) + u": " +
                      text::FromUtf8(ec.message()));
  }
}

void Check(const DbStatus& status, std::u16string_view context) {
  if (!status)
    throw ImportError(std::u16string(context) + u": " + status.error().Text());
}

Connection OpenMainDatabaseFile(const std::filesystem::path& dir) {
  const auto path = MainDatabaseFile(dir);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    throw ImportError(PathText(path) + u" does not exist (create it first with: mok2 db create " +
                      PathText(dir) + u")");
  }
  auto db = Connection::Open(PathText(path));
  return std::move(Check(db, PathText(path)));
}

RegionImportTarget::RegionImportTarget(const std::filesystem::path& dir, std::u16string_view region)
    : path_(RegionDatabaseFile(dir, region)) {
  std::error_code ec;
  created_ = !std::filesystem::exists(path_, ec);
  auto db = Connection::Create(PathText(path_));
  db_ = std::move(Check(db, PathText(path_)));
}

void RegionImportTarget::Discard() {
  db_.Close();
  if (created_) {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
    std::filesystem::remove(path_.string() + "-journal", ec);
  }
}

int64_t ImportIntoRegion(const std::filesystem::path& dir, std::u16string_view region,
                         const std::function<void(Connection& db)>& fill) {
  Connection mainDb = OpenMainDatabaseFile(dir);
  RegionImportTarget target(dir, region);
  try {
    auto mainTransaction = Transaction::Begin(mainDb);
    Check(mainTransaction, u"mok2.sqlite");
    const int64_t regionId = RegisterRegion(mainDb, region);

    Connection& db = target.db();
    auto transaction = Transaction::Begin(db);
    Check(transaction, region);
    Check(CreateRegionSchema(db), region);
    fill(db);
    Check(CreateLookupIndexes(db), region);
    Check(transaction->Commit(), region);
    Check(mainTransaction->Commit(), u"mok2.sqlite");
    return regionId;
  } catch (...) {
    target.Discard();
    throw;
  }
}

int64_t RegisterRegion(Connection& mainDb, std::u16string_view region) {
  const std::u16string context = u"ＤＢ一覧";
  auto find = mainDb.Prepare("select fldID from ＤＢ一覧 where fldDbName = ?");
  Statement& st = *Check(find, context);
  st.BindText(1, region);
  auto row = st.Step();
  if (Check(row, context))
    return st.Int(0);

  auto next = mainDb.Prepare("select coalesce(max(fldID), 0) + 1 from ＤＢ一覧");
  Statement& nextSt = *Check(next, context);
  auto nextRow = nextSt.Step();
  Check(nextRow, context);
  const int64_t id = nextSt.Int(0);

  auto insert = mainDb.Prepare("insert into ＤＢ一覧 (fldDbName, fldID) values (?, ?)");
  Statement& ins = *Check(insert, context);
  ins.BindText(1, region).BindInt(2, id);
  Check(ins.Run(), context);
  return id;
}

std::u16string FormatCount(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += ',';
    out += digits[i];
  }
  return text::FromUtf8((n < 0 ? "-" : "") + out);
}

namespace {
thread_local bool progressMuted = false;
}  // namespace

ImportProgress::ImportProgress(std::string label, std::uint64_t total)
    : label_(std::move(label)),
      total_(total),
      active_(!progressMuted && isatty(STDERR_FILENO) == 1) {}

ImportProgress::~ImportProgress() {
  Finish();
}

void ImportProgress::Update(std::uint64_t done) {
  if (!active_ || total_ == 0)
    return;
  const int percent = static_cast<int>(std::min<std::uint64_t>(done, total_) * 100 / total_);
  if (percent == shown_)
    return;
  shown_ = percent;
  std::fprintf(stderr, "\r%s %3d%%", label_.c_str(), percent);
  std::fflush(stderr);
}

void ImportProgress::Finish() {
  if (!active_ || shown_ < 0)
    return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(label_.size()) + 6, "");
  std::fflush(stderr);
  shown_ = -1;
}

ProgressMute::ProgressMute() : before_(progressMuted) {
  progressMuted = true;
}

ProgressMute::~ProgressMute() {
  progressMuted = before_;
}

}  // namespace mok::db
