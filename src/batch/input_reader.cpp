#include "batch/input_reader.h"

#include "text/text.h"

namespace mok::batch {
namespace {

std::u16string Number(int64_t n) {
  return text::FromUtf8(std::to_string(n));
}

}  // namespace

std::u16string FileNameOf(const std::u16string& path) {
  const std::size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

bool FolderOf(const std::u16string& path, std::u16string& folder) {
  const std::size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos)
    return false;
  folder = path.substr(0, slash);
  return true;
}

bool IsTextInputName(const std::u16string& path) {
  const std::u16string name = FileNameOf(path);
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos)
    return true;
  return name.substr(dot + 1) != u"xls";
}

std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter) {
  std::vector<std::u16string> fields;
  if (delimiter.empty()) {
    fields.emplace_back(line);
    return fields;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t at = line.find(delimiter, start);
    if (at == std::u16string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, at - start));
    start = at + delimiter.size();
  }
}

int32_t CountFields(std::u16string_view line, std::u16string_view delimiter) {
  if (line.empty())
    return 0;
  if (delimiter.empty())
    return 1;
  int32_t count = 1;
  for (std::size_t at = line.find(delimiter); at != std::u16string_view::npos;
       at = line.find(delimiter, at + delimiter.size())) {
    ++count;
  }
  return count;
}

std::u16string CompactFields(std::u16string_view text) {
  if (text.empty())
    return {};
  const auto parts = SplitFields(text, u",");
  std::u16string result = text::Trim(parts[0]);
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::u16string part = text::Trim(parts[i]);
    if (!part.empty())
      result += u"," + part;
  }
  return result;
}

bool InputReader::OpenInputFile() {
  if (!FileExists(inputPath)) {
    prompter_.ShowMessage(u"入力ファイルが見つかりません。");
    return false;
  }
  textInput = IsTextInputName(inputPath);
  FileError error;
  if (!inFile_.Open(inputPath, &error)) {
    prompter_.ShowMessage(error.Text() + u"\r\n" + inputPath);
    return false;
  }
  return true;
}

bool InputReader::InputRawLineData(LineReader& file, std::u16string& line) {
  if (!textInput)
    return ReportRead(LineReader::Status::Ok, file.Path(), 0);
  const LineReader::Status status = file.ReadLine(line);
  return ReportRead(status, file.Path(), file.LineNumber());
}

bool InputReader::ReportRead(LineReader::Status status, const std::u16string& path,
                             int64_t lineNumber) const {
  if (!textInput) {
    prompter_.ShowMessage(u"現在この機能はサポートされていません。");
    return false;
  }
  switch (status) {
    case LineReader::Status::Ok:
      return true;
    case LineReader::Status::Undecodable:
      // A damaged line is never passed on: the caller stops as for a read error, and the user
      // learns which line to repair.
      prompter_.ShowMessage(path + u"\r\n" + Number(lineNumber) +
                            u"行目はShift_JIS（CP932）のテキストとして読めません。");
      return false;
    case LineReader::Status::End:
    case LineReader::Status::ReadError:
      return false;
  }
  return false;
}

int32_t InputReader::CountInputRecords() {
  if (!OpenInputFile())
    return -1;
  std::u16string line;
  bool lineFeedInside = false;
  // Nothing to convert is said out loud, with the likely cause: lines ended by LF alone (as
  // Unix tools write them) do not end lines in the system's files, so the whole file is one line.
  auto nothingToConvert = [&] {
    prompter_.ShowMessage(std::u16string(u"入力ファイルには変換開始行以降の行がありません。") +
                          (lineFeedInside
                               ? u"\r\n改行がLFだけのファイルは全体が1行として読まれます。"
                                 u"改行をCR LFにして保存して下さい。"
                               : u""));
  };
  for (int32_t row = 1; row < startRow; ++row) {
    if (InputFileAtEnd()) {
      CloseInputFile();
      nothingToConvert();
      return -1;
    }
    if (!GetLineData(line)) {
      CloseInputFile();
      return -1;
    }
    lineFeedInside = lineFeedInside || line.find(u'\n') != std::u16string::npos;
  }
  if (InputFileAtEnd()) {
    CloseInputFile();
    nothingToConvert();
    return 0;
  }
  firstRowFieldCount_ = 0;
  int32_t count = 0;
  while (!InputFileAtEnd()) {
    if (!GetLineData(line)) {
      CloseInputFile();
      return -1;
    }
    ++count;
    if (count == 1)
      firstRowFieldCount_ = CountFields(line, u",");
  }
  CloseInputFile();
  return count;
}

bool InputReader::BuildAddressText(const std::u16string& line, std::u16string& address) const {
  if (line.empty()) {
    address.clear();
    return true;
  }
  const auto fields = SplitFields(line, u",");
  const int64_t highest = static_cast<int64_t>(fields.size()) - 1;
  // A negative field number names no field either: the same answer as a field past the end.
  if (addressField > highest || addressField < 0) {
    address = line;
    return false;
  }
  address = text::Trim(fields[static_cast<std::size_t>(addressField)]);
  return true;
}

RecordStatus InputReader::ReadNextRecord(LineReader& file, std::u16string& address) {
  if (!InputRawLineData(file, sourceLine_))
    return RecordStatus::ReadFailed;
  return BuildAddressText(sourceLine_, address) ? RecordStatus::Ok : RecordStatus::NoAddressField;
}

}  // namespace mok::batch
