// The files a run works with, and where it must not write. A run writes its output, the error
// list beside it and, in an unprocessed-only run, the new output "<output>.$$$". None of them may
// be the input (writing would destroy it before it is read), a database of the database folder
// or the settings file in use, also when named through "./", a link or a hard link; and the output
// may not be its own error list (an output named *.err).
//
// Example: with the input /data/in.csv, the output /data/in.csv is refused, and so is the output
// /db/東京都.sqlite when /db is the database folder.
#pragma once

#include <optional>
#include <string>

namespace mok::batch {

struct RunPaths {
  std::u16string input;
  std::u16string output;
  std::u16string errorList;  // the output's name with ".err" for its extension
  std::u16string newOutput;  // "<output>.$$$", the new output of an unprocessed-only run
};

RunPaths PathsOf(const std::u16string& input, const std::u16string& output);

// The message refusing the first written file of `paths` that must not be written, or nullopt
// when every one may be.
std::optional<std::u16string> RefusedOutput(const RunPaths& paths,
                                            const std::u16string& settingsFilePath,
                                            const std::u16string& databaseFolder);

}  // namespace mok::batch
