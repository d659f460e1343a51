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
  const std::u16string& written = unprocessedOnly ? paths.newOutput : paths.output;
  output_ = OpenOutputSink(written, paths.input, outputEncoding_, unprocessedOnly, &error);
  if (!output_)
    return error.Text() + u"\r\n" + written;
  if (!unprocessedOnly)
    return std::nullopt;
  if (!previous_.Open(paths.output, &error))
    return error.Text() + u"\r\n" + paths.output;
  return std::nullopt;
}

ClosedFiles ConversionFiles::Close() {
  ClosedFiles closed;
  closed.errorList = errorList_.Close();
  if (output_ && output_->IsOpen() && !output_->Close())
    closed.output = output_->Failure();
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
