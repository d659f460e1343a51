#include "batch/workbook_sink.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "batch/line_reader.h"
#include "batch/record_fields.h"
#include "text/text.h"

namespace mok::batch {
namespace {

constexpr char kInputProperty[] = "MOK2入力ファイル";

// A text as the workbook's XML holds it.
std::string XmlText(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
  }
  return escaped;
}

// The document's custom properties (docProps/custom.xml), "" when it has none.
std::string CustomProperties(const std::u16string& path) {
  int code = 0;
  zip_t* archive = zip_open(NativePath(path).c_str(), ZIP_RDONLY, &code);
  if (archive == nullptr)
    return {};
  std::string xml;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(archive, "docProps/custom.xml", 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) &&
      stat.size < (1U << 20)) {
    if (zip_file_t* member = zip_fopen(archive, "docProps/custom.xml", 0)) {
      xml.resize(stat.size);
      if (zip_fread(member, xml.data(), xml.size()) != static_cast<zip_int64_t>(xml.size()))
        xml.clear();
      zip_fclose(member);
    }
  }
  zip_discard(archive);
  return xml;
}

bool IsCoordinateHeading(std::u16string_view heading) {
  return heading == u"Ｘ座標" || heading == u"Ｙ座標" || heading == u"緯度" || heading == u"経度";
}

// The number a coordinate field holds, when the whole text is one.
std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end)
    return std::nullopt;
  return value;
}

}  // namespace

std::unique_ptr<WorkbookSink> WorkbookSink::Open(const std::u16string& path,
                                                 const std::u16string& inputPath,
                                                 FileError* error) {
  // The library writes the file only when it is closed: a path that cannot be written is found
  // now, as for a text output.
  errno = 0;
  std::FILE* probe = std::fopen(NativePath(path).c_str(), "wb");
  if (probe == nullptr) {
    const int errnum = errno == 0 ? EACCES : errno == ENOENT ? ENOTDIR : errno;
    if (error)
      *error = FileErrorFromErrno(errnum);
    return nullptr;
  }
  std::fclose(probe);
  std::unique_ptr<WorkbookSink> sink(new WorkbookSink);
  sink->path_ = path;
  // Rows go to a temporary file as they are written, so a large output needs little memory.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_TRUE;
  sink->workbook_ = workbook_new_opt(NativePath(path).c_str(), &options);
  sink->sheet_ = sink->workbook_ ? workbook_add_worksheet(sink->workbook_, nullptr) : nullptr;
  if (sink->sheet_ == nullptr) {
    if (error)
      *error = FileErrorFromErrno(ENOMEM);
    return nullptr;
  }
  sink->inputPath_ = text::ToUtf8(inputPath);
  workbook_set_custom_property_string(sink->workbook_, kInputProperty, sink->inputPath_.c_str());
  return sink;
}

WorkbookSink::~WorkbookSink() {
  Close();
}

void WorkbookSink::Fail(const std::u16string& why) {
  failed_ = true;
  failure_ = why + u"\r\n" + path_;
}

bool WorkbookSink::WriteRecord(const std::u16string& line) {
  if (workbook_ == nullptr || failed_)
    return false;
  const std::vector<std::u16string> cells = SplitFields(line, u",");
  if (row_ == 0) {
    for (const std::u16string& heading : cells)
      numeric_.push_back(IsCoordinateHeading(heading));
  }
  for (std::size_t column = 0; column < cells.size(); ++column) {
    if (cells[column].empty())
      continue;
    const std::string utf8 = text::ToUtf8(cells[column]);
    const auto col = static_cast<lxw_col_t>(column);
    const std::optional<double> number =
        row_ > 0 && column < numeric_.size() && numeric_[column] ? NumberOf(utf8) : std::nullopt;
    const lxw_error written =
        number ? worksheet_write_number(sheet_, row_, col, *number, nullptr)
               : worksheet_write_string(sheet_, row_, col, utf8.c_str(), nullptr);
    if (written != LXW_NO_ERROR) {
      Fail(u"Excel形式で書けないため、" + text::FromUtf8(std::to_string(row_ + 1)) +
           u"行目を書き込めません（" + text::FromUtf8(lxw_strerror(written)) + u"）。");
      return false;
    }
  }
  ++row_;
  return true;
}

bool IsWorkbookOfInput(const std::u16string& path, const std::u16string& inputPath) {
  const std::string xml = CustomProperties(path);
  return xml.find(std::string("\"") + kInputProperty + "\"") != std::string::npos &&
         xml.find(">" + XmlText(text::ToUtf8(inputPath)) + "<") != std::string::npos;
}

bool WorkbookSink::Close() {
  if (workbook_ == nullptr)
    return !failed_;
  const lxw_error closed = workbook_close(workbook_);
  workbook_ = nullptr;
  sheet_ = nullptr;
  if (closed != LXW_NO_ERROR && !failed_)
    Fail(u"Excelファイルを書き込めません（" + text::FromUtf8(lxw_strerror(closed)) + u"）。");
  return !failed_;
}

}  // namespace mok::batch
