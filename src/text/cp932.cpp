// CP932 (Windows-31J) <-> UTF-16 through ICU's "windows-31j" converter.
//
// Every file the system reads or writes is CP932, and a wrongly decoded or silently substituted
// character would end up in an address or in an output row. So the converter runs with the STOP
// callbacks: the first byte sequence that does not decode, or the first character that has no CP932
// form, ends the conversion and is reported with its position (1-based byte offset for decoding,
// 1-based character position for encoding).
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf16.h>

#include <algorithm>
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

// ICU's table keeps IBM's placement of three control characters (byte 1A is U+001C, 1C is
// U+007F, 7F is U+001A); Windows, whose files these are, maps every byte below 80 to the same
// code point. A decoded SUB, FS or DEL came from one of those single bytes (no two-byte character
// decodes to a control character), so the swap is undone on the text after decoding and done on
// the text before encoding.
template <typename Char>
bool HasSwappedControl(std::basic_string_view<Char> text) {
  return std::any_of(text.begin(), text.end(),
                     [](Char c) { return c == Char(0x1A) || c == Char(0x1C) || c == Char(0x7F); });
}
char16_t IcuToWindows(char16_t c) {
  return c == u'\x1C' ? u'\x1A' : c == u'\x7F' ? u'\x1C' : c == u'\x1A' ? u'\x7F' : c;
}
char16_t WindowsToIcu(char16_t c) {
  return c == u'\x1A' ? u'\x1C' : c == u'\x1C' ? u'\x7F' : c == u'\x7F' ? u'\x1A' : c;
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

// "character <1-based position> (U+XXXX) has no CP932 form" for the character at `at`.
std::string NoCp932Form(std::u16string_view text, std::size_t at) {
  char32_t cp = at < text.size() ? text[at] : 0;
  if (U16_IS_LEAD(cp) && at + 1 < text.size() && U16_IS_TRAIL(text[at + 1]))
    cp = U16_GET_SUPPLEMENTARY(cp, text[at + 1]);
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "character %zu (U+%04X) has no CP932 form", at + 1,
                static_cast<unsigned>(cp));
  return buffer;
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
  if (HasSwappedControl(bytes))
    std::transform(out.begin(), out.end(), out.begin(), IcuToWindows);
  return out;
}

std::optional<std::string> EncodeCp932(std::u16string_view text, std::string* error) {
  UConverter* conv = Cp932Converter(error);
  if (!conv)
    return std::nullopt;
  std::u16string swapped;
  const std::u16string_view original = text;
  if (HasSwappedControl(text)) {
    swapped.resize(text.size());
    std::transform(text.begin(), text.end(), swapped.begin(), WindowsToIcu);
    text = swapped;
  }
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
      *error =
          NoCp932Form(original, static_cast<std::size_t>(source - sourceStart) - invalidLength);
    }
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(target - targetStart));
  // ICU leaves out the characters Unicode calls default-ignorable (U+200B, U+FEFF, the variation
  // selectors…) even with the STOP callback, and writes a few private-use characters through
  // one-way mappings (U+F86F as the bytes of №). Neither would read back: the bytes are decoded
  // again and the first character that does not come back is refused.
  const auto back = DecodeCp932(out);
  if (!back || *back != original) {
    std::size_t at = 0;
    while (back && at < back->size() && at < original.size() && (*back)[at] == original[at])
      ++at;
    if (error)
      *error = NoCp932Form(original, at);
    return std::nullopt;
  }
  return out;
}

}  // namespace mok::text
