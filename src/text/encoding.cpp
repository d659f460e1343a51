#include "text/encoding.h"

#include <unicode/ustring.h>

#include "text/encoding_judge.h"
#include "text/text.h"

namespace mok::text {
namespace {

std::optional<std::u16string> DecodeUtf8(std::string_view bytes, std::string* error) {
  std::u16string out(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) {
    if (error)
      *error = "the text is not valid UTF-8";
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::optional<std::string> EncodeUtf8(std::u16string_view text, std::string* error) {
  std::string out(text.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length,
              reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
              &status);
  if (U_FAILURE(status)) {
    if (error)
      *error = "the text holds a lone surrogate";
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace

Encoding DetectEncoding(std::string_view bytes) {
  EncodingJudge judge;
  judge.Feed(bytes);
  return judge.Result();
}

std::optional<std::u16string> Decode(std::string_view bytes, Encoding encoding,
                                     std::string* error) {
  return encoding == Encoding::Cp932 ? DecodeCp932(bytes, error) : DecodeUtf8(bytes, error);
}

std::optional<std::string> Encode(std::u16string_view text, Encoding encoding, std::string* error) {
  return encoding == Encoding::Cp932 ? EncodeCp932(text, error) : EncodeUtf8(text, error);
}

std::u16string EncodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8:
      return u"UTF-8";
    case Encoding::Utf8Bom:
      return u"UTF-8（BOM付き）";
    case Encoding::Cp932:
      break;
  }
  return u"Shift_JIS（CP932）";
}

std::u16string EncodingKey(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8:
      return u"utf8";
    case Encoding::Utf8Bom:
      return u"utf8-bom";
    case Encoding::Cp932:
      break;
  }
  return u"cp932";
}

std::optional<Encoding> ParseEncoding(std::u16string_view name) {
  std::u16string key;
  for (char16_t c : name) {
    if (c == u'-' || c == u'_')
      continue;
    key += (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
  }
  if (key == u"cp932" || key == u"sjis" || key == u"shiftjis")
    return Encoding::Cp932;
  if (key == u"utf8")
    return Encoding::Utf8;
  if (key == u"utf8bom")
    return Encoding::Utf8Bom;
  return std::nullopt;
}

}  // namespace mok::text
