#include "db/import/staged_files.h"

#include <mutex>
#include <set>

#include "db/import/import_error.h"

namespace mok::db::StagedFiles {
namespace {

struct Registry {
  std::mutex mutex;
  std::set<std::filesystem::path> files;
  bool discarded = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void Create(const std::filesystem::path& path, const std::function<void()>& create) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  if (registry.discarded)
    throw ImportError(u"the build was stopped: " + PathText(path) + u" is not made");
  registry.files.insert(path);
  create();
}

void Settle(const std::filesystem::path& path, const std::function<void()>& settle) {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  if (registry.discarded)
    return;
  settle();
  registry.files.erase(path);
}

void Discard() {
  Registry& registry = TheRegistry();
  const std::lock_guard lock(registry.mutex);
  registry.discarded = true;
  std::error_code ec;
  for (const auto& file : registry.files)
    std::filesystem::remove(file, ec);
  registry.files.clear();
}

}  // namespace mok::db::StagedFiles
