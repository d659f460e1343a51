// Imports Japan Post's postal-code data (KEN_ALL CSV: CP932, 15 columns, no header) into the POST
// table of a region database, cleaned as ken_all_cleaner.h describes. Records already in POST
// are not added again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/import/ken_all_cleaner.h"

namespace mok::db {

struct PostalImportReport {
  int64_t sourceLines = 0;
  int64_t records = 0;         // rows added to POST
  int64_t alreadyPresent = 0;  // cleaned records already in POST
  int64_t joinedLines = 0;
  int64_t droppedOthers = 0;
  int64_t duplicates = 0;
  int64_t wholeMunicipality = 0;
  int64_t regionId = 0;
};

// All in one transaction; throws ImportError and leaves the databases as they were on failure.
PostalImportReport ImportPostal(const std::filesystem::path& dir, const std::u16string& region,
                                const std::filesystem::path& file);

// The lines of a KEN_ALL file (CP932, or anything CsvReader reads), each checked to have the 15
// columns of the format. Throws ImportError naming the line, or when the file is empty.
std::vector<KenAllLine> ReadKenAll(const std::filesystem::path& file);

// Inserts the records into POST inside the caller's transaction, except those in `skip`. Returns
// how many were inserted.
int64_t AddPostalRecords(Connection& db, const std::vector<PostalRecord>& records,
                         const std::set<PostalRecord>& skip = {});

}  // namespace mok::db
