#include "db/import/mdb_import.h"

#include "db/import/import_error.h"

namespace mok::db {

MdbImportReport ImportMdb(const std::filesystem::path&, const std::filesystem::path& file) {
  throw ImportError(PathText(file) +
                    u": converting Access databases is not supported in this build");
}

}  // namespace mok::db
