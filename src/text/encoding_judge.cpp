#include "text/encoding_judge.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <vector>

namespace mok::text {

// ICU's converter of one encoding in stop-on-error mode, fed in pieces: it keeps a character cut
// between two pieces and reads on with the next.
class EncodingJudge::Reader {
 public:
  explicit Reader(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    converter_ = ucnv_open(name, &status);
    if (U_SUCCESS(status)) {
      ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    }
    valid_ = U_SUCCESS(status);
  }
  ~Reader() { ucnv_close(converter_); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  bool Valid() const { return valid_; }

  // Reads the bytes (`last`: nothing follows them); false once a byte sequence does not decode.
  bool Read(std::string_view bytes, bool last) {
    const char* source = bytes.data();
    const char* const end = source + bytes.size();
    while (valid_) {
      UChar* target = units_.data();
      UErrorCode status = U_ZERO_ERROR;
      ucnv_toUnicode(converter_, &target, units_.data() + units_.size(), &source, end, nullptr,
                     last, &status);
      if (status != U_BUFFER_OVERFLOW_ERROR) {
        valid_ = U_SUCCESS(status);
        break;
      }
    }
    return valid_;
  }

 private:
  UConverter* converter_ = nullptr;
  std::vector<UChar> units_ = std::vector<UChar>(1 << 14);
  bool valid_ = false;
};

EncodingJudge::EncodingJudge()
    : utf8_(std::make_unique<Reader>("UTF-8")), cp932_(std::make_unique<Reader>("windows-31j")) {}

EncodingJudge::~EncodingJudge() = default;

void EncodingJudge::Feed(std::string_view bytes) {
  if (decided_ || bytes.empty())
    return;
  if (!started_ && bytes.starts_with(kUtf8Bom))
    decided_ = Encoding::Utf8Bom;
  started_ = true;
  // ASCII reads the same in both while no character is open: the converters need not see it.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (decided_ || (ascii && lastAscii_))
    return;
  lastAscii_ = static_cast<unsigned char>(bytes.back()) < 0x80;
  if (!utf8_->Read(bytes, false))
    decided_ = Encoding::Cp932;
  else if (!cp932_->Read(bytes, false))
    decided_ = Encoding::Utf8;
}

Encoding EncodingJudge::Result() {
  if (!decided_) {
    // A character left open at the end of the input is invalid.
    decided_ = utf8_->Read({}, true) && !cp932_->Read({}, true) ? Encoding::Utf8 : Encoding::Cp932;
  }
  return *decided_;
}

}  // namespace mok::text
