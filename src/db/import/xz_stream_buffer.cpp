#include "db/import/xz_stream_buffer.h"

#include <lzma.h>

#include <string_view>

#include "db/import/import_error.h"

namespace mok::db {
namespace {

constexpr std::size_t kChunk = 1 << 16;
constexpr std::string_view kMagic(
    "\xFD"
    "7zXZ\0",
    6);

std::u16string Reason(lzma_ret ret) {
  switch (ret) {
    case LZMA_MEM_ERROR:
      return u"out of memory";
    case LZMA_FORMAT_ERROR:
      return u"not an .xz file";
    case LZMA_OPTIONS_ERROR:
      return u"compressed with options this decoder does not support";
    case LZMA_DATA_ERROR:
      return u"the compressed data is damaged";
    case LZMA_BUF_ERROR:
      return u"the compressed data ends early";
    default:
      return u"xz decoder error " + text::FromUtf8(std::to_string(static_cast<int>(ret)));
  }
}

}  // namespace

struct XzStreamBuffer::Decoder {
  lzma_stream stream = LZMA_STREAM_INIT;
  ~Decoder() { lzma_end(&stream); }
};

XzStreamBuffer::XzStreamBuffer(const std::filesystem::path& path)
    : path_(path), decoder_(std::make_unique<Decoder>()), in_(kChunk), out_(kChunk) {
  file_.open(path, std::ios::binary);
  if (!file_)
    throw ImportError(u"cannot read " + PathText(path));
  const lzma_ret ret = lzma_stream_decoder(&decoder_->stream, UINT64_MAX, LZMA_CONCATENATED);
  if (ret != LZMA_OK)
    throw ImportError(PathText(path) + u": " + Reason(ret));
  setg(out_.data(), out_.data(), out_.data());
}

XzStreamBuffer::~XzStreamBuffer() = default;

bool XzStreamBuffer::IsXzFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  char head[kMagic.size()] = {};
  return file.read(head, sizeof head) && std::string_view(head, sizeof head) == kMagic;
}

XzStreamBuffer::int_type XzStreamBuffer::underflow() {
  lzma_stream& s = decoder_->stream;
  while (!finished_) {
    if (s.avail_in == 0 && file_) {
      file_.read(in_.data(), static_cast<std::streamsize>(in_.size()));
      s.next_in = reinterpret_cast<const uint8_t*>(in_.data());
      s.avail_in = static_cast<std::size_t>(file_.gcount());
    }
    const std::size_t before = s.avail_in;
    s.next_out = reinterpret_cast<uint8_t*>(out_.data());
    s.avail_out = out_.size();
    const lzma_ret ret = lzma_code(&s, s.avail_in == 0 && !file_ ? LZMA_FINISH : LZMA_RUN);
    compressedRead_ += before - s.avail_in;
    if (ret == LZMA_STREAM_END) {
      finished_ = true;
    } else if (ret != LZMA_OK) {
      throw ImportError(PathText(path_) + u": " + Reason(ret));
    }
    const std::size_t produced = out_.size() - s.avail_out;
    if (produced > 0) {
      setg(out_.data(), out_.data(), out_.data() + produced);
      return traits_type::to_int_type(out_[0]);
    }
  }
  return traits_type::eof();
}

}  // namespace mok::db
