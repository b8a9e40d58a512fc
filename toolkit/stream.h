#pragma once
// Byte streams: the common base, a memory stream and a file stream.
// File streams raise "Cannot open file %s" / "Cannot create file %s" (paths
// are UTF-8; the Windows build opens them through the wide API).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/errors.h"

namespace skyloom {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes; answers how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  std::int64_t Size();

  // Exactly count bytes or EReadError / EWriteError.
  void ReadBuffer(void* buffer, std::size_t count);
  void WriteBuffer(const void* buffer, std::size_t count);
  // Everything from the current position to the end.
  std::vector<std::uint8_t> ReadAll();
  // What a short write raises: the stream's own words; a file names itself
  // and the system's reason.
  virtual std::string WriteErrorText() const { return "Stream write error"; }
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

enum class TFileMode {
  fmOpenRead,           // read-only, others may read and write
  fmOpenReadDenyWrite,  // read-only, other writers refused while open
  fmCreate,             // create or truncate, read-write
};

// Platform file handle behind TFileStream (toolkit/file_posix.cpp,
// toolkit/file_win.cpp).
class TFileHandle {
 public:
  virtual ~TFileHandle() = default;
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  // Down to the medium; false when the system reports a failure.
  virtual bool Flush() = 0;
  // The system's words for the last call that failed ("" when none did).
  virtual std::string ErrorText() const = 0;
};
// Answers null when the file cannot be opened or created.
std::unique_ptr<TFileHandle> OpenFileHandle(const std::string& path, TFileMode mode);
// Puts source in target's place in one step (a reader sees the old file or
// the new one, never a mix), written through to the medium.
bool ReplaceFileWith(const std::string& source, const std::string& target);
bool DeleteFileNamed(const std::string& path);

class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, TFileMode mode);
  TFileStream(const std::string& path, std::unique_ptr<TFileHandle> handle);  // an opened file
  std::size_t Read(void* buffer, std::size_t count) override { return handle_->Read(buffer, count); }
  std::size_t Write(const void* buffer, std::size_t count) override { return handle_->Write(buffer, count); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return handle_->Seek(offset, origin); }
  bool Flush() { return handle_->Flush(); }
  const std::string& FileName() const { return path_; }
  // "Cannot write file PATH: the system's reason".
  std::string WriteErrorText() const override;

 private:
  std::string path_;
  std::unique_ptr<TFileHandle> handle_;
};

// Writes a file so that a failure part-way never costs the old one: write
// fills a temporary file in the same folder, which is flushed and then put
// in the target's place. When write raises or the file cannot be finished,
// the temporary file is removed, the target stays as it was, and the error
// is raised ("Cannot create file %s" naming the target when it cannot be
// created or replaced, "Cannot write file %s: reason" when the system
// refuses the bytes, for example on a full disk).
void WriteFileSafely(const std::string& path, const std::function<void(TStream& out)>& write);

// Whether a file (not a directory) of that name exists.
bool FileExists(const std::string& path);

}  // namespace skyloom
