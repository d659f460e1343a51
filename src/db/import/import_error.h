// The failure of an import: a message for the user that names the file and, where it applies,
// the line. Importers throw it; the command-line tool prints it and ends with a failure status.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "text/text.h"

namespace mok::db {

class ImportError : public std::runtime_error {
 public:
  explicit ImportError(const std::u16string& message)
      : std::runtime_error(text::ToUtf8(message)), message_(message) {}
  const std::u16string& message() const { return message_; }

 private:
  std::u16string message_;
};

// A path as text for messages.
inline std::u16string PathText(const std::filesystem::path& path) {
  return text::FromUtf8(path.string());
}

}  // namespace mok::db
