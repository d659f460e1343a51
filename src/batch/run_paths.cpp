#include "batch/run_paths.h"

#include <sys/stat.h>

#include <filesystem>

#include "batch/line_reader.h"
#include "batch/output_writer.h"

namespace mok::batch {
namespace {

// True when both paths name one existing file (also through links or different spellings).
bool SameFile(const std::u16string& a, const std::u16string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(NativePath(a).c_str(), &sa) != 0 || ::stat(NativePath(b).c_str(), &sb) != 0) {
    return false;
  }
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// True when `path` is a database of the folder `dbDir` (or one of its journal files), also when
// named through another folder, a link or a hard link.
bool IsDatabaseFile(const std::u16string& path, const std::u16string& dbDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(NativePath(path));
  const fs::path folder(NativePath(dbDir));
  const std::string name = file.filename().string();
  for (const char* ending : {".sqlite", ".sqlite-wal", ".sqlite-shm", ".sqlite-journal"}) {
    if (name.ends_with(ending) &&
        fs::weakly_canonical(file.parent_path().empty() ? "." : file.parent_path(), ec) ==
            fs::weakly_canonical(folder, ec)) {
      return true;
    }
  }
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".sqlite" && fs::equivalent(entry.path(), file, ec))
      return true;
  }
  return false;
}

}  // namespace

RunPaths PathsOf(const std::u16string& input, const std::u16string& output) {
  return {input, output, ErrorListPath(output), output + u".$$$"};
}

std::optional<std::u16string> RefusedOutput(const RunPaths& paths,
                                            const std::u16string& settingsFilePath,
                                            const std::u16string& databaseFolder) {
  // An output named *.err would be its own error list: the list would replace the output's lines
  // (and an unprocessed-only run would remove the earlier output before reading it).
  if (paths.errorList == paths.output)
    return u"出力ファイルの名前がエラーリストの名前と同じになるため出力できません"
           u"（出力ファイルの拡張子に .err は使えません）。\r\n" +
           paths.output;
  for (const std::u16string* path : {&paths.output, &paths.errorList, &paths.newOutput}) {
    if (SameFile(paths.input, *path))
      return u"入力ファイルと同じファイルには出力できません。\r\n" + *path;
    if (SameFile(settingsFilePath, *path) || IsDatabaseFile(*path, databaseFolder))
      return u"住所データベースや設定ファイルには出力できません。\r\n" + *path;
  }
  return std::nullopt;
}

}  // namespace mok::batch
