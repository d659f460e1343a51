// Moving a main database (prefectures, region list, learning dictionary with its counts) between
// a folder and a server, in either direction (`mok2 db copy-main FROM TO`), and making one on a
// server (`mok2 db create postgresql://host/dbname`). Each end is named as a `mok2 db` argument
// names it: a server's address, or a folder whose mok2.sqlite is meant.
//
//   CopyMainDatabase(u"/data", u"postgresql://db.example/mok", false);
//     -> every row of /data/mok2.sqlite, row ids included, on the server, in one transaction
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "db/import/main_database_import.h"

namespace mok::db {

// The main database an argument names: a server's address as it is, else <folder>/mok2.sqlite.
std::u16string MainDatabaseArgument(const std::u16string& argument);

struct MainCopyReport {
  std::u16string from, to;  // the main databases, as MainDatabaseArgument names them
  std::size_t prefectures = 0, regions = 0, words = 0;
  int64_t uses = 0;  // the words' counts added up
};

// Replaces the content of `to` by that of `from` in one transaction on `to`; the tables of `to`
// are made when missing (a folder's file too, removed again when the copy fails). A `to` that
// holds regions or learned words is replaced only with `force`. Throws ImportError.
MainCopyReport CopyMainDatabase(const std::u16string& from, const std::u16string& to, bool force);

// Makes the main database's tables on the server `server` with the prefectures of
// `prefecturesCsv`; a server that holds a main database already is replaced only with `force`.
// Throws ImportError.
MainDatabaseReport CreateServerMainDatabase(const std::u16string& server,
                                            const std::filesystem::path& prefecturesCsv,
                                            bool force);

}  // namespace mok::db
