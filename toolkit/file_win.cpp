// Windows file handles: the wide API, with the sharing modes of each mode.
#include <windows.h>

#include <string>

#include "toolkit/handles.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

class WinFile final : public TFileHandle {
 public:
  explicit WinFile(UniqueHandle handle) : handle_(std::move(handle)) {}

  std::size_t Read(void* buffer, std::size_t count) override {
    DWORD got = 0;
    if (!ReadFile(handle_.get(), buffer, Chunk(count), &got, nullptr)) return Failed(0);
    return got;
  }
  std::size_t Write(const void* buffer, std::size_t count) override {
    std::size_t total = 0;
    while (total < count) {
      DWORD put = 0;
      const auto* bytes = static_cast<const char*>(buffer) + total;
      if (!WriteFile(handle_.get(), bytes, Chunk(count - total), &put, nullptr)) return Failed(total);
      if (put == 0) break;
      total += put;
    }
    return total;
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                         : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                            : FILE_END;
    LARGE_INTEGER distance{}, result{};
    distance.QuadPart = offset;
    if (!SetFilePointerEx(handle_.get(), distance, &result, method)) return Failed(-1);
    return result.QuadPart;
  }
  bool Flush() override { return FlushFileBuffers(handle_.get()) != 0 || Failed(false); }
  std::string ErrorText() const override { return error_ ? SystemErrorText(error_) : std::string(); }

 private:
  // Keeps the system's error of the call that just failed; answers result.
  template <typename T>
  T Failed(T result) {
    error_ = GetLastError();
    return result;
  }
  DWORD error_ = 0;
  static DWORD Chunk(std::size_t count) { return static_cast<DWORD>(count > 0x40000000u ? 0x40000000u : count); }
  UniqueHandle handle_;
};

// Reserved names ("CON", "nul.Gal", "COM1.txt" in any directory) and the
// "\\.\" namespace name devices, not files: a read could wait on the
// console or a port for good. The system's full path shows which is which.
bool NamesDevice(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return false;
  std::wstring full(needed, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), needed, full.data(), nullptr));
  return full.starts_with(L"\\\\.\\");
}

}  // namespace

// Only disk files open: a device is refused as a file that cannot be opened.
std::unique_ptr<TFileHandle> OpenFileHandle(const std::string& path, TFileMode mode) {
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  if (mode == TFileMode::fmOpenReadDenyWrite) share = FILE_SHARE_READ;
  if (mode == TFileMode::fmCreate) {
    access = GENERIC_READ | GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = CREATE_ALWAYS;
  }
  const std::wstring wide = Widen(path);
  if (NamesDevice(wide)) return nullptr;
  UniqueHandle handle(CreateFileW(wide.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle || GetFileType(handle.get()) != FILE_TYPE_DISK) return nullptr;
  return std::make_unique<WinFile>(std::move(handle));
}

bool ReplaceFileWith(const std::string& source, const std::string& target) {
  return MoveFileExW(Widen(source).c_str(), Widen(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFileNamed(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace skyloom
