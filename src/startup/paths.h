// Folder and file paths of the program: the folder separator rule, the program's own folder.
#pragma once

#include <string>

namespace mok {

// The platform's folder separator.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// `path` with the spaces around it removed and a separator appended unless it is empty or
// already ends in one ("/" or "\"). An empty or all-blank path gives "".
std::u16string AddPathSeparator(const std::u16string& path);

// `folder` and `name` with one separator between them (just `name` when folder is blank).
std::u16string JoinPath(const std::u16string& folder, const std::u16string& name);

// The folder that holds the running program, without a trailing separator ("" when unknown).
std::u16string ProgramDirectory();

}  // namespace mok
