#include "batch/input_reader.h"

#include "batch/record_reader.h"
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

std::optional<std::u16string> FolderOf(const std::u16string& path) {
  const std::size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos)
    return std::nullopt;
  return path.substr(0, slash);
}

bool IsTextInputName(const std::u16string& path) {
  const std::u16string name = FileNameOf(path);
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos)
    return true;
  return name.substr(dot + 1) != u"xls";
}

InputSource DescribeInput(std::u16string path, int32_t startRow, std::vector<int32_t> addressFields,
                          std::optional<text::Encoding> encoding) {
  const bool text = IsTextInputName(path);
  return {std::move(path), startRow, std::move(addressFields), text, encoding};
}

InputRecord ReadInputRecord(LineReader& file, const std::vector<int32_t>& addressFields) {
  InputRecord record;
  LineReader::Line line = ReadRecord(file);
  record.read = line.status;
  record.lineNumber = line.number;
  if (line.status != LineReader::Status::Ok)
    return record;
  AddressText address = AddressOf(line.text, addressFields);
  record.status = address.found ? RecordStatus::Ok : RecordStatus::NoAddressField;
  record.line = std::move(line.text);
  record.address = std::move(address.address);
  return record;
}

std::optional<LineReader> InputReader::Open() const {
  if (!FileExists(source_.path)) {
    prompter_.ShowMessage(u"入力ファイルが見つかりません。");
    return std::nullopt;
  }
  LineReader file;
  FileError error;
  if (!file.Open(source_.path, &error, source_.encoding)) {
    prompter_.ShowMessage(error.Text() + u"\r\n" + source_.path);
    return std::nullopt;
  }
  return file;
}

std::optional<std::u16string> InputReader::ReadRawLine(LineReader& file) const {
  if (!source_.text) {
    ReportRead(LineReader::Status::Ok, file, 0);
    return std::nullopt;
  }
  LineReader::Line line = ReadRecord(file);
  if (!ReportRead(line.status, file, line.number))
    return std::nullopt;
  return std::move(line.text);
}

bool InputReader::ReportRead(LineReader::Status status, const LineReader& file,
                             int64_t lineNumber) const {
  if (!source_.text) {
    prompter_.ShowMessage(u"現在この機能はサポートされていません。");
    return false;
  }
  switch (status) {
    case LineReader::Status::Ok:
      return true;
    case LineReader::Status::Undecodable:
      // A damaged line is never passed on: the caller stops as for a read error, and the user
      // learns which line to repair.
      prompter_.ShowMessage(file.Path() + u"\r\n" + Number(lineNumber) + u"行目は" +
                            text::EncodingName(file.Encoding()) + u"のテキストとして読めません。");
      return false;
    case LineReader::Status::UnclosedQuote:
      // Read on, the rest of the file would be one field of one record.
      prompter_.ShowMessage(file.Path() + u"\r\n" + Number(lineNumber) +
                            u"行目で始まる引用符（\"）がファイルの終わりまで閉じられていません。"
                            u"引用符を閉じるか取り除いて下さい。");
      return false;
    case LineReader::Status::End:
    case LineReader::Status::ReadError:
      return false;
  }
  return false;
}

bool InputReader::SkipToStartRow(LineReader& file) const {
  for (int32_t row = 1; row < source_.startRow; ++row) {
    if (!ReadRawLine(file))
      return false;
  }
  return true;
}

InputCount InputReader::CountInputRecords() const {
  std::optional<LineReader> file = Open();
  if (!file)
    return {};
  bool lineFeedInside = false;
  std::vector<std::u16string> headings;
  // Nothing to convert is said out loud, with the likely cause: lines ended by LF alone (as
  // Unix tools write them) do not end lines in the system's files, so the whole file is one line.
  auto nothingToConvert = [&](int32_t records) {
    prompter_.ShowMessage(std::u16string(u"入力ファイルには変換開始行以降の行がありません。") +
                          (lineFeedInside
                               ? u"\r\n改行がLFだけのファイルは全体が1行として読まれます。"
                                 u"改行をCR LFにして保存して下さい。"
                               : u""));
    return InputCount{records, 0, {}};
  };
  for (int32_t row = 1; row < source_.startRow; ++row) {
    if (file->AtEnd())
      return nothingToConvert(-1);
    const auto line = ReadRawLine(*file);
    if (!line)
      return {};
    lineFeedInside = lineFeedInside || line->find(u'\n') != std::u16string::npos;
    if (row == source_.startRow - 1) {
      for (const std::u16string_view heading : SplitRawFields(*line, u","))
        headings.emplace_back(heading);
    }
  }
  if (file->AtEnd())
    return nothingToConvert(0);
  InputCount count{0, 0, std::move(headings)};
  while (!file->AtEnd()) {
    const auto line = ReadRawLine(*file);
    if (!line)
      return {};
    if (++count.records == 1)
      count.firstRowFieldCount = CountFields(*line, u",");
  }
  return count;
}

}  // namespace mok::batch
