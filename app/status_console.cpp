#include "app/status_console.h"

#include <windows.h>

#include "toolkit/handles.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

// Long enough for a running instance busy with a list to get to it.
constexpr DWORD kReportWaitMs = 10000;
constexpr DWORD kReportPollMs = 50;

bool IsPlainStatus(const std::wstring& argument) {
  return argument.size() == 7 && (argument[0] == L'/' || argument[0] == L'-') &&
         CompareStringOrdinal(argument.c_str() + 1, -1, L"status", -1, TRUE) == CSTR_EQUAL;
}

std::wstring ReportFile() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + L"skyloom-status-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
}

std::string ReadAll(const std::wstring& path) {
  TFileStream in(Narrow(path), TFileMode::fmOpenRead);
  const auto bytes = in.ReadAll();
  return std::string(bytes.begin(), bytes.end());
}

bool WriteToFileOrPipe(HANDLE out, const std::string& text) {
  if (!out || out == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(out);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) return false;
  DWORD written = 0;
  return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

}  // namespace

void PrintToConsole(const std::string& text) {
  if (WriteToFileOrPipe(GetStdHandle(STD_OUTPUT_HANDLE), text)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  UniqueHandle console(
      CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (console.get() != INVALID_HANDLE_VALUE) {
    const std::wstring wide = Widen(text);
    DWORD written = 0;
    WriteConsoleW(console.get(), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }
  FreeConsole();
}

TStatusRequest::TStatusRequest(std::vector<std::wstring> arguments) : arguments_(std::move(arguments)) {
  for (auto& argument : arguments_) {
    if (!IsPlainStatus(argument)) continue;
    if (file_.empty()) file_ = ReportFile();
    argument = L"/status=" + file_;
  }
  if (!file_.empty()) DeleteFileW(file_.c_str());
}

TStatusRequest::~TStatusRequest() {
  if (!file_.empty()) DeleteFileW(file_.c_str());
}

// The running instance replaces the file in one step, so once it is there
// it is whole.
bool TStatusRequest::PrintWhenWritten() const {
  if (file_.empty()) return true;
  for (DWORD waited = 0; GetFileAttributesW(file_.c_str()) == INVALID_FILE_ATTRIBUTES; waited += kReportPollMs) {
    if (waited >= kReportWaitMs) return false;
    Sleep(kReportPollMs);
  }
  PrintToConsole(ReadAll(file_));
  return true;
}

}  // namespace skyloom
