// POSIX file handles for the native build of the portable core.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/stream.h"

namespace skyloom {
namespace {

class PosixFile final : public TFileHandle {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override {
    const auto got = ::read(fd_, buffer, count);
    return got < 0 ? Failed(0) : static_cast<std::size_t>(got);
  }
  std::size_t Write(const void* buffer, std::size_t count) override {
    // A short write is followed by another, so that the reason of a refusal
    // (a full disk) is the system's answer to the bytes it refused.
    std::size_t total = 0;
    while (total < count) {
      const auto put = ::write(fd_, static_cast<const char*>(buffer) + total, count - total);
      if (put < 0) return Failed(total);
      if (put == 0) break;
      total += static_cast<std::size_t>(put);
    }
    return total;
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    const auto at = ::lseek(fd_, offset, whence);
    return at < 0 ? Failed(at) : at;
  }
  bool Flush() override { return ::fsync(fd_) == 0 || Failed(false); }
  std::string ErrorText() const override { return error_ ? ::strerror(error_) : std::string(); }

 private:
  // Keeps the system's error of the call that just failed; answers result.
  template <typename T>
  T Failed(T result) {
    error_ = errno;
    return result;
  }
  int error_ = 0;
  int fd_;
};

}  // namespace

std::unique_ptr<TFileHandle> OpenFileHandle(const std::string& path, TFileMode mode) {
  const int flags = mode == TFileMode::fmCreate ? (O_RDWR | O_CREAT | O_TRUNC) : O_RDONLY;
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd);
}

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  return ::rename(source.c_str(), target.c_str()) == 0;
}

bool DeleteFileNamed(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace skyloom
