// The temporary files of the staged databases being built (staged_database.h), so that a build
// stopped from outside (a signal) can remove them before the program ends. Once discarded, no
// further temporary file is made: a staged database made afterwards fails with ImportError.
//
//   StagedFiles::Create(path, [&] { ...create the file... });   // registered while it exists
//   StagedFiles::Settle(path, [&] { ...rename or remove it... });
//   StagedFiles::Discard();   // from the thread that answers the signal, then _exit
#pragma once

#include <filesystem>
#include <functional>

namespace mok::db::StagedFiles {

// Runs `create` (which makes the file at `path`) with `path` registered; throws ImportError
// without running it once the files were discarded. Registration and creation happen under one
// lock, so a discard never misses a file that is being made.
void Create(const std::filesystem::path& path, const std::function<void()>& create);
// Runs `settle` (which renames or removes the file) and forgets `path`, under the same lock; does
// nothing once the files were discarded.
void Settle(const std::filesystem::path& path, const std::function<void()>& settle);
// Removes every registered file and refuses any further one.
void Discard();

}  // namespace mok::db::StagedFiles
