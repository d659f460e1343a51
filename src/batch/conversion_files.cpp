#include "batch/conversion_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace mok::batch {

std::optional<std::u16string> ConversionFiles::Open(const RunPaths& paths, bool unprocessedOnly,
                                                    const Settings& settings) {
  paths_ = paths;
  unprocessedOnly_ = unprocessedOnly;
  // Whatever stands at the error list's name goes, a link too (never the file it names); a folder
  // there is said when the list is first written.
  if (::unlink(NativePath(paths.errorList).c_str()) != 0 && errno != ENOENT && errno != EISDIR)
    return FileErrorFromErrno(errno).Text() + u"\r\n" + paths.errorList;
  FileError error;
  if (!input_.Open(paths.input, &error, text::ParseEncoding(settings.inputEncoding)))
    return error.Text() + u"\r\n" + paths.input;
  outputEncoding_ = batch::OutputEncoding(settings, input_.Encoding());
  errorList_.Reset(paths.errorList, outputEncoding_);
  if (!unprocessedOnly) {
    if (!output_.Open(paths.output, &error, outputEncoding_))
      return error.Text() + u"\r\n" + paths.output;
    return std::nullopt;
  }
  if (!output_.Open(paths.newOutput, &error, outputEncoding_, LineWriter::Mode::Fresh))
    return error.Text() + u"\r\n" + paths.newOutput;
  if (!previous_.Open(paths.output, &error))
    return error.Text() + u"\r\n" + paths.output;
  return std::nullopt;
}

ClosedFiles ConversionFiles::Close() {
  ClosedFiles closed;
  closed.errorList = errorList_.Close();
  if (output_.IsOpen() && !output_.Close())
    closed.output = output_.Failure();
  previous_.Close();
  input_.Close();
  return closed;
}

std::optional<FileError> ConversionFiles::ReplaceOutput() const {
  if (!unprocessedOnly_ ||
      std::rename(NativePath(paths_.newOutput).c_str(), NativePath(paths_.output).c_str()) == 0) {
    return std::nullopt;
  }
  return FileErrorFromErrno(errno);
}

}  // namespace mok::batch
