#include "batch/output_writer.h"

namespace mok::batch {

text::Encoding OutputEncoding(const Settings& settings, text::Encoding inputEncoding) {
  return text::ParseEncoding(settings.outputEncoding).value_or(inputEncoding);
}

std::u16string BuildOutputHeader(const Settings& settings, int32_t fieldCount,
                                 const std::vector<std::u16string>& headings) {
  std::u16string header;
  // The source columns keep the headings of the input (the converted columns start after as many
  // fields as the first record has, whatever the heading line holds).
  for (int32_t i = 0; settings.srcOut && i < fieldCount; ++i) {
    if (static_cast<std::size_t>(i) < headings.size())
      header += headings[static_cast<std::size_t>(i)];
    header += u',';
  }
  if (settings.prefOut)
    header += u"都道府県,";
  if (settings.cityOut)
    header += u"市区町村,";
  header += u"大字・町丁目";
  header += settings.townCombine ? u"+街区符号・地番" : u",街区符号・地番";
  header += u",";
  if (settings.remainOut)
    header += u"号・枝番以降,";
  if (settings.cityCodeOut)
    header += u"市区町村コード,";
  if (settings.xyOut) {
    if (settings.coordNoOut)
      header += u"座標系番号,";
    header += u"Ｘ座標,Ｙ座標,";
  }
  if (settings.latLonOut)
    header += u"緯度,経度,";
  if (settings.levelOut)
    header += u"位置レベル,";
  if (settings.logOut)
    header += u"ログ,";
  if (!header.empty() && header.back() == u',')
    header.pop_back();
  return header;
}

bool OutputConvertLine(OutputSink& file, const std::u16string& line) {
  return file.WriteRecord(line);
}

std::u16string ConvertedLine(const Settings& settings, const std::u16string& sourceLine,
                             const std::u16string& fields) {
  return settings.srcOut ? sourceLine + u"," + fields : fields;
}

std::u16string UnconvertedLine(const Settings& settings, const std::u16string& sourceLine) {
  return settings.srcOut ? sourceLine : std::u16string();
}

std::u16string ErrorListPath(const std::u16string& outputPath) {
  const std::size_t slash = outputPath.rfind(u'/');
  const std::size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  const std::size_t dot = outputPath.rfind(u'.');
  if (dot == std::u16string::npos || dot < nameStart)
    return outputPath + u".err";
  return outputPath.substr(0, dot) + u".err";
}

std::optional<std::u16string> ErrorList::WriteUnknownLine(const Settings& settings,
                                                          const std::u16string& address) {
  if (!settings.unknownOut || failed_)
    return std::nullopt;
  FileError error;
  if (!writer_.IsOpen() && !writer_.Open(path_, &error, encoding_, LineWriter::Mode::Fresh)) {
    failed_ = true;
    return error.Text() + u"\r\n" + path_;
  }
  if (!writer_.WriteLine(address)) {
    failed_ = true;
    return writer_.Failure();
  }
  return std::nullopt;
}

std::optional<std::u16string> ErrorList::Close() {
  if (!writer_.IsOpen() || writer_.Close())
    return std::nullopt;
  return writer_.Failure();
}

}  // namespace mok::batch
