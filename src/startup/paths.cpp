#include "startup/paths.h"

#include <filesystem>
#include <system_error>

#include "text/text.h"

namespace mok {

std::u16string AddPathSeparator(const std::u16string& path) {
  std::u16string result = text::TrimAscii(path);
  if (result.empty())
    return result;
  // Either separator counts: paths typed on the Windows platform keep working.
  if (result.back() != u'/' && result.back() != u'\\')
    result += kPathSeparator;
  return result;
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
  return AddPathSeparator(folder) + name;
}

std::u16string ProgramDirectory() {
  std::error_code ec;
#ifdef _WIN32
  // Only the Linux build is made here; other platforms fall back to the current folder.
  const std::filesystem::path exe;
#else
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
#endif
  if (ec || exe.empty()) {
    const auto current = std::filesystem::current_path(ec);
    return ec ? std::u16string() : current.u16string();
  }
  return exe.parent_path().u16string();
}

}  // namespace mok
