#include "desktop/theme_web_view.h"

#include <windows.h>

#include <array>
#include <filesystem>

#include "desktop/system_folders.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

struct WebPicture {
  std::string TWebView::*field;
  const char* fileName;
};

constexpr std::array<WebPicture, 3> kPictures{{
    {&TWebView::WebViewLeft, "WVLEFT.BMP"},
    {&TWebView::WebViewLine, "WVLINE.GIF"},
    {&TWebView::WebViewLogo, "WVLOGO.GIF"},
}};

std::string WebFolder() { return WindowsDirectory() + "\\Web"; }

std::string PlaceOf(const WebPicture& picture) { return WebFolder() + "\\" + picture.fileName; }

void CopyReplacing(const std::string& source, const std::string& target) {
  CopyFileW(Widen(source).c_str(), Widen(target).c_str(), FALSE);
}

// A copy onto a hidden or read-only file fails, and an earlier backup
// carries the hidden attribute it was copied with: clear it first so that
// the backup is really refreshed.
void Backup(const std::string& place) {
  const std::wstring backup = Widen(place + ".BAK");
  if (GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
  CopyFileW(Widen(place).c_str(), backup.c_str(), FALSE);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(Widen(a)), std::filesystem::path(Widen(b)), error);
}

void SetAttributesIfPresent(const std::string& place, DWORD attributes) {
  if (FileExists(place)) SetFileAttributesW(Widen(place).c_str(), attributes);
}

}  // namespace

void TWebView::Read() {
  for (const auto& picture : kPictures) {
    const std::string place = PlaceOf(picture);
    if (FileExists(place)) this->*picture.field = place;
  }
}

void TWebView::Write() const {
  for (const auto& picture : kPictures)
    if (FileExists(PlaceOf(picture))) Backup(PlaceOf(picture));
  for (const auto& picture : kPictures) SetAttributesIfPresent(PlaceOf(picture), FILE_ATTRIBUTE_ARCHIVE);
  for (const auto& picture : kPictures) {
    const std::string& source = this->*picture.field;
    // The values read at start-up name the pictures in place: nothing to copy.
    if (source.empty() || SameFile(source, PlaceOf(picture))) continue;
    CopyReplacing(source, PlaceOf(picture));
  }
  for (const auto& picture : kPictures) SetAttributesIfPresent(PlaceOf(picture), FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace skyloom
