// CP932 (Windows-31J) <-> UTF-16 through ICU's "windows-31j" converter.
//
// Every file the system reads or writes is CP932, and a wrongly decoded or silently substituted
// character would end up in an address or in an output row. So the converter runs with the STOP
// callbacks: the first byte sequence that does not decode, or the first character that has no CP932
// form, ends the conversion and is reported with its position (1-based byte offset for decoding,
// 1-based character position for encoding).
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <cstdio>
#include <memory>

#include "text/text.h"

namespace mok::text {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// One converter per thread: opening one costs far more than a line's conversion.
UConverter* Cp932Converter(std::string* error) {
  thread_local ConverterPtr converter = []() -> ConverterPtr {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr c(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status))
      return nullptr;
    ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
      return nullptr;
    return c;
  }();
  if (!converter && error)
    *error = "the CP932 converter (windows-31j) is not available";
  if (converter)
    ucnv_reset(converter.get());
  return converter.get();
}

std::string HexBytes(const char* bytes, int8_t length) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (int8_t i = 0; i < length; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (i > 0)
      out += ' ';
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

}  // namespace

std::optional<std::u16string> DecodeCp932(std::string_view bytes, std::string* error) {
  UConverter* conv = Cp932Converter(error);
  if (!conv)
    return std::nullopt;
  // CP932 never yields more UTF-16 code units than it has bytes.
  std::u16string out(bytes.size(), u'\0');
  UChar* target = reinterpret_cast<UChar*>(out.data());
  UChar* const targetStart = target;
  const char* source = bytes.data();
  const char* const sourceStart = source;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(conv, &target, target + out.size(), &source, source + bytes.size(), nullptr,
                 /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    if (error) {
      char invalid[32];
      int8_t invalidLength = sizeof invalid;
      UErrorCode s2 = U_ZERO_ERROR;
      ucnv_getInvalidChars(conv, invalid, &invalidLength, &s2);
      if (U_FAILURE(s2))
        invalidLength = 0;
      const auto offset = static_cast<std::size_t>(source - sourceStart) - invalidLength;
      *error = "byte " + std::to_string(offset + 1) + " is not valid CP932";
      if (invalidLength > 0)
        *error += " (" + HexBytes(invalid, invalidLength) + ")";
    }
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(target - targetStart));
  return out;
}

std::optional<std::string> EncodeCp932(std::u16string_view text, std::string* error) {
  UConverter* conv = Cp932Converter(error);
  if (!conv)
    return std::nullopt;
  // At most two bytes per UTF-16 code unit.
  std::string out(text.size() * 2, '\0');
  char* target = out.data();
  char* const targetStart = target;
  const UChar* source = reinterpret_cast<const UChar*>(text.data());
  const UChar* const sourceStart = source;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(conv, &target, target + out.size(), &source, source + text.size(), nullptr,
                   /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    if (error) {
      UChar invalid[8];
      int8_t invalidLength = 8;
      UErrorCode s2 = U_ZERO_ERROR;
      ucnv_getInvalidUChars(conv, invalid, &invalidLength, &s2);
      if (U_FAILURE(s2))
        invalidLength = 0;
      const auto offset = static_cast<std::size_t>(source - sourceStart) - invalidLength;
      *error = "character " + std::to_string(offset + 1) + " (";
      char32_t cp = invalidLength > 0 ? invalid[0] : 0;
      if (invalidLength == 2 && cp >= 0xD800 && cp <= 0xDBFF)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (invalid[1] - 0xDC00);
      char buf[16];
      std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
      *error += buf;
      *error += ") has no CP932 form";
    }
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(target - targetStart));
  return out;
}

}  // namespace mok::text
