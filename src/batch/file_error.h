// A failure of a file operation as the user sees it: a Japanese sentence that says what happened
// and what to do ("ファイルが見つかりません。ファイル名と場所を確かめて下さい。"). The number (the
// one the system has always given the common cases, else the operating system's errno) is shown
// only for a failure without a sentence of its own, where it is what helps whoever looks further.
#pragma once

#include <string>

namespace mok::batch {

struct FileError {
  std::u16string description;  // what happened
  int number = 0;
  std::u16string advice = {};  // what to do; empty when there is no sentence of our own
  // description + advice, or, without advice, description + "（エラー番号 " + number + "）"
  std::u16string Text() const;
};

// The error for the C library's `errnum` (errno after a failed call).
FileError FileErrorFromErrno(int errnum);

}  // namespace mok::batch
