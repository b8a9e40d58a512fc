#include "state/state_store.h"

#include <windows.h>

#include "state/state_file.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

constexpr wchar_t kFileName[] = L"state.txt";
constexpr wchar_t kBadName[] = L"state.bad";
constexpr int kMaxBadCopies = 1000;

std::string ReadWholeFile(const std::wstring& path) {
  TFileStream in(Narrow(path), TFileMode::fmOpenReadDenyWrite);
  const auto bytes = in.ReadAll();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TStateStore::TStateStore(std::wstring folder) : folder_(std::move(folder)), path_(folder_ + kFileName) {}

TLoadedState TStateStore::Load() {
  if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  std::string reason;
  try {
    return {ReadStateText(ReadWholeFile(path_)), L""};
  } catch (const std::exception& error) {
    reason = error.what();
  }
  const std::wstring copy = MoveAside();
  if (copy.empty()) {
    keepFile_ = true;
    return {{}, Widen(reason) + L": Skyloom started with default settings and will not save them"};
  }
  return {{}, Widen(reason) + L": Skyloom started with default settings and kept the file as " + copy};
}

// The first free name of state.bad, state.bad.1, state.bad.2, ...
std::wstring TStateStore::MoveAside() {
  for (int n = 0; n < kMaxBadCopies; ++n) {
    const std::wstring name = n == 0 ? kBadName : kBadName + (L"." + std::to_wstring(n));
    if (MoveFileExW(path_.c_str(), (folder_ + name).c_str(), MOVEFILE_WRITE_THROUGH)) return name;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return L"";
  }
  return L"";
}

void TStateStore::Save(const std::string& text) {
  if (keepFile_) throw EError(FormatMessage1("The damaged file %s is kept as it is", Narrow(path_)));
  CreateDirectoryW(folder_.c_str(), nullptr);  // fails harmlessly when it is there; the write names any other fault
  WriteFileSafely(Narrow(path_), [&](TStream& out) { out.WriteBuffer(text.data(), text.size()); });
}

}  // namespace skyloom
