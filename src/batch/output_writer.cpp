#include "batch/output_writer.h"

namespace mok::batch {

std::u16string BuildOutputHeader(const Settings& settings, int32_t fieldCount) {
  std::u16string header;
  if (fieldCount > 0 && settings.SrcOut == 1)
    header.append(static_cast<std::size_t>(fieldCount), u',');
  if (settings.PrefOut == 1)
    header += u"都道府県,";
  if (settings.CityOut == 1)
    header += u"市区町村,";
  header += u"大字・町丁目";
  header += settings.TownCombine ? u"+街区符号・地番" : u",街区符号・地番";
  header += u",";
  if (settings.RemainOut == 1)
    header += u"号・枝番以降,";
  if (settings.CityCodeOut == 1)
    header += u"市区町村コード,";
  if (settings.XYOut == 1) {
    if (settings.CoordNoOut == 1)
      header += u"座標系番号,";
    header += u"Ｘ座標,Ｙ座標,";
  }
  if (settings.LatLonOut == 1)
    header += u"緯度,経度,";
  if (settings.LogOut == 1)
    header += u"ログ,";
  if (!header.empty() && header.back() == u',')
    header.pop_back();
  return header;
}

bool OutputConvertLine(const Settings& settings, Prompter& prompter, LineWriter& file,
                       const std::u16string& line) {
  if (!settings.CsvOut) {
    prompter.ShowMessage(u"この機能は現在未サポートです。");
    return true;
  }
  return file.WriteLine(line);
}

std::u16string ConvertedLine(const Settings& settings, const std::u16string& sourceLine,
                             const std::u16string& fields) {
  return settings.SrcOut == 1 ? sourceLine + u"," + fields : fields;
}

std::u16string UnconvertedLine(const Settings& settings, const std::u16string& sourceLine) {
  return settings.SrcOut == 1 ? sourceLine : std::u16string();
}

std::u16string ErrorListPath(const std::u16string& outputPath) {
  const std::size_t slash = outputPath.rfind(u'/');
  const std::size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  const std::size_t dot = outputPath.rfind(u'.');
  if (dot == std::u16string::npos || dot < nameStart)
    return outputPath + u".err";
  return outputPath.substr(0, dot) + u".err";
}

void ErrorList::WriteUnknownLine(const Settings& settings, const std::u16string& address) {
  if (settings.UnknownOut != 1)
    return;
  if (!writer_.IsOpen() && !writer_.Open(path_))
    return;
  writer_.WriteLine(address);
}

}  // namespace mok::batch
