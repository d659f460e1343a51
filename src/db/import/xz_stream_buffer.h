// The decompressed bytes of an .xz file as a stream buffer, so that the line reading of the CSV
// reader works on a compressed file as on a plain one. The nationwide town list ships
// xz-compressed (4 MB instead of 50 MB) and is decoded on the fly, never unpacked to disk.
// liblzma, the library of the xz tools, does the decoding; concatenated streams are read as one.
//
//   XzStreamBuffer buffer("japan-towns.csv.xz");
//   std::istream in(&buffer);
//   std::getline(in, line);  // the first line of the decompressed text
//
// A damaged or truncated file makes underflow() throw ImportError; the reading stream must let
// it through (exceptions(std::ios::badbit)).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <streambuf>
#include <vector>

namespace mok::db {

class XzStreamBuffer : public std::streambuf {
 public:
  // Opens `path`; throws ImportError when it cannot be read or the decoder cannot start.
  explicit XzStreamBuffer(const std::filesystem::path& path);
  ~XzStreamBuffer() override;
  XzStreamBuffer(const XzStreamBuffer&) = delete;
  XzStreamBuffer& operator=(const XzStreamBuffer&) = delete;

  // Compressed bytes consumed so far, for progress against the file's size.
  std::uint64_t CompressedBytesRead() const { return compressedRead_; }

  // Whether the file begins with the .xz magic bytes.
  static bool IsXzFile(const std::filesystem::path& path);

 protected:
  int_type underflow() override;

 private:
  struct Decoder;
  std::filesystem::path path_;
  std::ifstream file_;
  std::unique_ptr<Decoder> decoder_;
  std::vector<char> in_, out_;
  std::uint64_t compressedRead_ = 0;
  bool finished_ = false;
};

}  // namespace mok::db
