// The folder web-view pictures: backups, replacement, attributes.
#include <gtest/gtest.h>

#include "desktop/theme_web_view.h"
#include "desktop_test_support.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;

class WebViewTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    web = WindowsDir() / L"Web";
    std::filesystem::create_directories(web);
    for (const wchar_t* name : {L"WVLEFT.BMP", L"WVLINE.GIF", L"WVLOGO.GIF"}) {
      for (const std::wstring suffix : {L"", L".BAK"}) {
        const auto file = web / (name + suffix);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove(file, ignored);
      }
    }
  }

  void Place(const wchar_t* name, const std::string& bytes) {
    WriteAll(web / name, bytes);
    SetFileAttributesW((web / name).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  }
  // Wine reports every plain file as archived, so that bit is not compared.
  DWORD Attributes(const wchar_t* name) const {
    return GetFileAttributesW((web / name).c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE);
  }
  std::string Content(const wchar_t* name) const { return ReadAll(web / name); }

  std::filesystem::path web;
};

TEST_F(WebViewTest, BacksUpReplacesAndHidesThePictures) {
  Place(L"WVLEFT.BMP", "old left");
  Place(L"WVLOGO.GIF", "old logo");
  WriteAll(dir / L"left.bmp", "new left");
  WriteAll(dir / L"line.gif", "new line");

  TWebView view;
  view.WebViewLeft = PathOf(L"left.bmp");
  view.WebViewLine = PathOf(L"line.gif");
  view.WebViewLogo = PathOf(L"missing.gif");
  view.Write();

  EXPECT_EQ(Content(L"WVLEFT.BMP.BAK"), "old left");
  EXPECT_EQ(Content(L"WVLEFT.BMP"), "new left");
  EXPECT_EQ(Content(L"WVLINE.GIF"), "new line");
  EXPECT_FALSE(std::filesystem::exists(web / L"WVLINE.GIF.BAK"));
  // A missing source leaves the picture in place, freshly backed up.
  EXPECT_EQ(Content(L"WVLOGO.GIF"), "old logo");
  EXPECT_EQ(Content(L"WVLOGO.GIF.BAK"), "old logo");
  for (const wchar_t* name : {L"WVLEFT.BMP", L"WVLINE.GIF", L"WVLOGO.GIF"})
    EXPECT_EQ(Attributes(name), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << Narrow(name);
}

TEST_F(WebViewTest, PicturesReadInPlaceSurviveAndBackupsStayFresh) {
  Place(L"WVLEFT.BMP", "first");
  TWebView view;
  view.WebViewLine = "kept";
  view.Read();
  EXPECT_EQ(view.WebViewLeft, Narrow((web / L"WVLEFT.BMP").wstring()));
  EXPECT_EQ(view.WebViewLine, "kept");
  view.Write();  // onto itself: must not damage the picture
  EXPECT_EQ(Content(L"WVLEFT.BMP"), "first");

  WriteAll(dir / L"left.bmp", "second");
  view.WebViewLeft = PathOf(L"left.bmp");
  view.Write();
  WriteAll(dir / L"left.bmp", "third");
  view.Write();
  EXPECT_EQ(Content(L"WVLEFT.BMP.BAK"), "second");
  EXPECT_EQ(Content(L"WVLEFT.BMP"), "third");
}

}  // namespace
}  // namespace skyloom
