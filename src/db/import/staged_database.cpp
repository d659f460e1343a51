#include "db/import/staged_database.h"

#include "db/import/import_support.h"
#include "db/import/staged_files.h"

namespace mok::db {

StagedDatabase::StagedDatabase(std::filesystem::path target)
    : target_(std::move(target)), temporary_(target_.string() + ".new") {
  StagedFiles::Create(temporary_, [this] {
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
    auto opened = Connection::Create(PathText(temporary_));
    db_ = std::move(Check(opened, PathText(temporary_)));
  });
  Check(db_.Execute("pragma journal_mode = off; pragma synchronous = off"), PathText(temporary_));
}

StagedDatabase::~StagedDatabase() {
  if (installed_)
    return;
  db_.Close();
  StagedFiles::Settle(temporary_, [this] {
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
  });
}

void StagedDatabase::Finish() {
  db_.Close();
}

void StagedDatabase::Install() {
  Finish();
  std::error_code ec;
  // A journal or log left beside the old file would be played into the new one when it is
  // opened, and a program still using the old file keeps its own copies of the log and its
  // shared index once their names are gone: the new file starts with neither.
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    std::filesystem::remove(target_.string() + suffix, ec);
  StagedFiles::Settle(temporary_, [&] { std::filesystem::rename(temporary_, target_, ec); });
  if (ec) {
    throw ImportError(u"cannot replace " + PathText(target_) + u": " +
                      text::FromUtf8(ec.message()));
  }
  installed_ = true;
}

}  // namespace mok::db
