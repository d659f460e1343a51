// A failure of a file operation as the user sees it: a description followed by its number in
// parentheses ("ファイルが見つかりません。(53)"). The numbers are those the system has always
// shown for the common cases; anything else carries the operating system's own text and number.
#pragma once

#include <string>

namespace mok::batch {

struct FileError {
  std::u16string description;
  int number = 0;
  // description + "(" + number + ")"
  std::u16string Text() const;
};

// The error for the C library's `errnum` (errno after a failed call).
FileError FileErrorFromErrno(int errnum);

// Errors of the run that are not file errors.
FileError OverflowError();      // a number outside the range it must fit
FileError TypeMismatchError();  // a text that is not a number

}  // namespace mok::batch
