#include "files/mpeg_decoder.h"

#include <cstdio>

namespace kelvora {
namespace {

ssize_t ReadFile(void* user, void* buffer, size_t bytes) {
  return static_cast<ssize_t>(static_cast<FileReader*>(user)->Read(buffer, bytes));
}

off_t SeekFile(void* user, off_t offset, int whence) {
  FileReader& file = *static_cast<FileReader*>(user);
  const int64_t base = whence == SEEK_CUR   ? static_cast<int64_t>(file.Position())
                       : whence == SEEK_END ? static_cast<int64_t>(file.Size())
                                            : 0;
  if (offset < 0 && -offset > base) return -1;
  file.Seek(static_cast<uint64_t>(base + offset));
  return static_cast<off_t>(base + offset);
}

}  // namespace

MpegDecoder::MpegDecoder(FileReader& file) {
  if (mpg123_init() != MPG123_OK) return;
  int error = MPG123_OK;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (h == nullptr) return;
  // Float samples at the stream's own rate, the encoder's delay and padding
  // cut where the stream says, and no complaints on standard error. Every
  // output format stays allowed: a stream that changes it part-way then
  // says so (MPG123_NEW_FORMAT) instead of failing aloud.
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT | MPG123_GAPLESS | MPG123_QUIET, 0.0);
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0.0);
  int encoding = 0;
  file.Seek(0);
  if (mpg123_replace_reader_handle(h, ReadFile, SeekFile, nullptr) != MPG123_OK ||
      mpg123_open_handle(h, &file) != MPG123_OK ||
      mpg123_getformat(h, &rate_, &channels_, &encoding) != MPG123_OK ||
      encoding != MPG123_ENC_FLOAT_32) {
    mpg123_delete(h);
    return;
  }
  mpg123_frameinfo info;
  if (mpg123_info(h, &info) == MPG123_OK) layer_ = info.layer;
  const off_t length = mpg123_length(h);
  lengthHint_ = length > 0 ? static_cast<int64_t>(length) : 0;
  handle_ = h;
}

MpegDecoder::~MpegDecoder() {
  if (handle_ != nullptr) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
}

size_t MpegDecoder::Read(float* out, size_t frames) {
  const size_t frameBytes = sizeof(float) * static_cast<size_t>(channels_);
  size_t filled = 0;
  while (!ended_ && filled < frames) {
    size_t done = 0;
    const int result =
        mpg123_read(handle_, reinterpret_cast<unsigned char*>(out) + filled * frameBytes,
                    (frames - filled) * frameBytes, &done);
    filled += done / frameBytes;
    if (result == MPG123_DONE) {
      ended_ = true;
    } else if (result != MPG123_OK) {
      // A new format part-way cannot go on in one sound; any other error
      // is a broken stream. What came before stays.
      ended_ = faulted_ = true;
    } else if (done == 0) {
      ended_ = true;
    }
  }
  return filled;
}

}  // namespace kelvora
