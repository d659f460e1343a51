// Tells a file's encoding from all of its bytes, given piece by piece as they are read (the bytes
// of a character may be split between two pieces). A UTF-8 byte-order mark says UTF-8; a text
// that stops being valid UTF-8 is CP932; one that stops being valid CP932 while it is valid UTF-8
// so far is UTF-8; a text that both read to its end (pure ASCII too) is CP932, the system's own.
// A file is thus decided at its first characters that only one encoding reads, wherever they
// stand (after a megabyte of ASCII, inside a first line of several megabytes), and read to its
// end only when both encodings read all of it.
//
//   EncodingJudge judge;
//   while (!judge.Decided() && (n = fread(...)) > 0) judge.Feed({buffer, n});
//   const Encoding encoding = judge.Result();   // the end of the input counts once Result is asked
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "text/encoding.h"

namespace mok::text {

class EncodingJudge {
 public:
  EncodingJudge();
  ~EncodingJudge();
  EncodingJudge(const EncodingJudge&) = delete;
  EncodingJudge& operator=(const EncodingJudge&) = delete;

  void Feed(std::string_view bytes);
  bool Decided() const { return decided_.has_value(); }
  // The encoding of the bytes fed, taken as the whole input.
  Encoding Result();

 private:
  class Reader;  // one encoding's converter, fed in pieces

  std::unique_ptr<Reader> utf8_;
  std::unique_ptr<Reader> cp932_;
  std::optional<Encoding> decided_;
  bool started_ = false;
  bool lastAscii_ = true;  // the last byte fed was ASCII: no character is open
};

}  // namespace mok::text
