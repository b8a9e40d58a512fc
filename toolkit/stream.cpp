#include "toolkit/stream.h"

#include <algorithm>
#include <cstring>

namespace skyloom {

std::int64_t TStream::Size() {
  const auto here = Position();
  const auto end = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(WriteErrorText());
}

// Read straight into place, sized by the length the stream tells (one byte
// more, so that the read that finds the end needs no new storage); a
// stream that grows meanwhile is still read to its end.
std::vector<std::uint8_t> TStream::ReadAll() {
  std::vector<std::uint8_t> bytes;
  const auto here = Position();
  const auto end = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  if (end > here) bytes.reserve(static_cast<std::size_t>(end - here) + 1);
  for (;;) {
    const std::size_t have = bytes.size();
    const std::size_t room = bytes.capacity() - have;
    bytes.resize(have + (room ? room : 65536));
    const auto got = Read(bytes.data() + have, bytes.size() - have);
    bytes.resize(have + got);
    if (got == 0) return bytes;
  }
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (count == 0 || position_ >= bytes_.size()) return 0;
  const auto n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = static_cast<std::int64_t>(position_);
  if (origin == TSeekOrigin::soEnd) base = static_cast<std::int64_t>(bytes_.size());
  position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
  return static_cast<std::int64_t>(position_);
}

TFileStream::TFileStream(const std::string& path, std::unique_ptr<TFileHandle> handle)
    : path_(path), handle_(std::move(handle)) {}

std::string TFileStream::WriteErrorText() const {
  const std::string text = FormatMessage1("Cannot write file %s", path_);
  const std::string reason = handle_->ErrorText();
  return reason.empty() ? text : text + ": " + reason;
}

TFileStream::TFileStream(const std::string& path, TFileMode mode)
    : path_(path), handle_(OpenFileHandle(path, mode)) {
  if (handle_) return;
  if (mode == TFileMode::fmCreate) throw EFCreateError(FormatMessage1("Cannot create file %s", path));
  throw EFOpenError(FormatMessage1("Cannot open file %s", path));
}

namespace {

// Removes the temporary file unless the save reached its end.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TTemporaryFile() {
    if (!kept_) DeleteFileNamed(path_);
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  const std::string& Path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

[[noreturn]] void CannotCreate(const std::string& path) {
  throw EFCreateError(FormatMessage1("Cannot create file %s", path));
}

}  // namespace

void WriteFileSafely(const std::string& path, const std::function<void(TStream& out)>& write) {
  TTemporaryFile temporary(path + ".saving");
  {
    std::unique_ptr<TFileHandle> handle = OpenFileHandle(temporary.Path(), TFileMode::fmCreate);
    if (!handle) CannotCreate(path);
    TFileStream out(path, std::move(handle));  // named as the user knows the file
    write(out);
    if (!out.Flush()) throw EWriteError(out.WriteErrorText());
  }
  if (!ReplaceFileWith(temporary.Path(), path)) CannotCreate(path);
  temporary.Keep();
}

}  // namespace skyloom
