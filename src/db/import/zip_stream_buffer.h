// The decompressed bytes of the one CSV file inside a .zip archive as a stream buffer, so that the
// CSV reader reads a zipped file as it reads a plain one. The Address Base Registry serves every
// file as a zip holding one CSV (mt_parcel_city302015.csv.zip holds mt_parcel_city302015.csv);
// libzip does the reading, and the archive is never unpacked to disk.
//
//   ZipStreamBuffer buffer("mt_parcel_city302015.csv.zip");
//   std::istream in(&buffer);
//   std::getline(in, line);  // the CSV's header line
//
// A damaged archive makes underflow() throw ImportError; the reading stream must let it through
// (exceptions(std::ios::badbit)).
#pragma once

#include <cstdint>
#include <filesystem>
#include <streambuf>
#include <vector>

struct zip;
struct zip_file;

namespace mok::db {

class ZipStreamBuffer : public std::streambuf {
 public:
  // Opens the archive and its CSV member: the only file it holds, or the only one named *.csv.
  // Throws ImportError when the archive cannot be read or holds no such single file.
  explicit ZipStreamBuffer(const std::filesystem::path& path);
  ~ZipStreamBuffer() override;
  ZipStreamBuffer(const ZipStreamBuffer&) = delete;
  ZipStreamBuffer& operator=(const ZipStreamBuffer&) = delete;

  // The size of the CSV once decompressed, and how much of it has been read, for progress.
  std::uint64_t Size() const { return size_; }
  std::uint64_t BytesRead() const { return read_; }

  // Whether the file begins with the signature of a zip archive.
  static bool IsZipFile(const std::filesystem::path& path);

 protected:
  int_type underflow() override;

 private:
  std::filesystem::path path_;
  zip* archive_ = nullptr;
  zip_file* member_ = nullptr;
  std::vector<char> out_;
  std::uint64_t size_ = 0;
  std::uint64_t read_ = 0;
};

}  // namespace mok::db
