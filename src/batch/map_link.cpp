#include "batch/map_link.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

#include "batch/input_reader.h"
#include "batch/line_reader.h"
#include "text/text.h"

extern char** environ;

namespace mok::batch {

bool StartProgram(const std::vector<std::string>& argv, FileError& error) {
  if (argv.empty()) {
    error = FileErrorFromErrno(ENOENT);
    return false;
  }
  std::vector<char*> args;
  for (const auto& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
  if (rc != 0) {
    error = FileErrorFromErrno(rc);
    return false;
  }
  // The map program runs on by itself; a waiting thread reaps it when it ends so that it
  // leaves no zombie behind.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return true;
}

std::vector<std::string> SplitCommandLine(const std::u16string& commandLine) {
  const std::string line = text::ToUtf8(commandLine);
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord)
        words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord)
    words.push_back(word);
  return words;
}

std::u16string MapCommand(const std::u16string& copyPath) {
  return u"[OpenStat(" + copyPath + u")]";
}

bool ShowInMapProgram(const Settings& settings, Prompter& prompter,
                      const std::u16string& outputPathText, const ProgramStarter& start) {
  if (settings.tempDir.empty() || settings.mapProgram.empty())
    return false;
  const std::u16string outputPath = text::Trim(outputPathText);
  const std::u16string copyPath = settings.tempDir + u"/" + FileNameOf(outputPath);

  FileError error;
  std::error_code ec;
  std::filesystem::copy_file(std::filesystem::path(NativePath(outputPath)),
                             std::filesystem::path(NativePath(copyPath)),
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    error = FileErrorFromErrno(ec.value());
  } else {
    std::vector<std::string> argv = SplitCommandLine(settings.mapProgram);
    argv.push_back(text::ToUtf8(MapCommand(copyPath)));
    if (start(argv, error))
      return true;
  }
  prompter.ShowMessage(
      u"地図プログラムに変換結果を渡せませんでした。変換結果のファイルはそのまま使えます。\r\n" +
      error.Text() + u"\r\nDDE");
  return false;
}

}  // namespace mok::batch
