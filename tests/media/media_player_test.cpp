#include "media/media_player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "avi_file.h"
#include "fake_mci.h"

namespace skyloom {
namespace {

using testing::FakeMci;
using testing::MciCall;

constexpr int kWidth = 32, kHeight = 24, kFrames = 12;  // one second at 12 frames a second

// Runs the message loop until done() or a generous limit (the device's
// notices are posted messages).
template <typename Done>
bool PumpUntil(Done done) {
  const ULONGLONG limit = GetTickCount64() + 10000;
  while (!done()) {
    if (GetTickCount64() > limit) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
  return true;
}

class RealDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    path = std::filesystem::temp_directory_path() /
           (L"skyloom-media-" + std::to_wstring(GetCurrentProcessId()) + L".avi");
    std::ofstream(path, std::ios::binary) << testing::MakeAvi(kWidth, kHeight, kFrames, 12);
    host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, nullptr,
                           nullptr);
  }
  void TearDown() override {
    player.reset();
    DestroyWindow(host);
    std::filesystem::remove(path);
  }
  void OpenFile() {
    player->FileName = path.wstring();
    player->Open();
  }

  std::filesystem::path path;
  HWND host = nullptr;
  std::unique_ptr<TMediaPlayer2> player = std::make_unique<TMediaPlayer2>(nullptr);
};

TEST_F(RealDevice, OpensIntoTheDisplaySetBeforeAndPlaysToTheEndWithNotices) {
  int notices = 0;
  player->OnNotify = [&](void* sender) {
    EXPECT_EQ(sender, player.get());
    ++notices;
  };
  player->SetDisplay(host);
  OpenFile();
  EXPECT_TRUE(player->IsOpen());
  EXPECT_NE(player->DeviceID(), 0u);
  EXPECT_EQ(player->Display(), host);
  EXPECT_TRUE(player->HasVideo());
  EXPECT_TRUE(player->CanPlay());
  EXPECT_FALSE(player->CanEject());
  EXPECT_EQ(player->Length(), kFrames);
  EXPECT_EQ(player->Frames(), 1);
  EXPECT_EQ(player->DefaultDisplaySize().cx, kWidth);
  EXPECT_EQ(player->DefaultDisplaySize().cy, kHeight);

  player->Play();  // asks for a notice by default
  ASSERT_TRUE(PumpUntil([&] { return notices == 1; }));
  EXPECT_EQ(player->NotifyValue(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_EQ(player->Mode(), TMPDeviceMode::mpStopped);
  // At the end: the length, or the last frame on devices that stop there.
  EXPECT_GE(player->Position(), kFrames - 1);

  player->Play();  // rewinds first, so it stands near the start, not at the last frame
  EXPECT_LT(player->Position(), kFrames - 1);
  ASSERT_TRUE(PumpUntil([&] { return notices == 2; }));
  EXPECT_EQ(player->NotifyValue(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_GE(player->Position(), kFrames - 1);

  player->Close();
  EXPECT_FALSE(player->IsOpen());
  EXPECT_EQ(player->DeviceID(), 0u);
}

TEST_F(RealDevice, DisplayRectOfZeroSizeTakesTheDefaultSize) {
  player->SetDisplay(host);
  OpenFile();
  player->SetDisplayRect(RECT{0, 0, 0, 0});
  RECT placed = player->DisplayRect();
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(placed.right - placed.left, kWidth);
  EXPECT_EQ(placed.bottom - placed.top, kHeight);
  player->SetDisplayRect(RECT{4, 6, 150, 100});
  placed = player->DisplayRect();
  EXPECT_EQ(placed.left, 4);
  EXPECT_EQ(placed.top, 6);
  EXPECT_EQ(placed.right, 150);
  EXPECT_EQ(placed.bottom, 100);
}

TEST_F(RealDevice, ErrorsCarryTheSystemTextOrTheClosedDeviceMessage) {
  EXPECT_NO_THROW(player->Close());
  try {
    player->Stop();
    ADD_FAILURE() << "Stop on a closed device raised nothing";
  } catch (const EMCIDeviceError& error) {
    EXPECT_STREQ(error.what(), "No MCI device open");
  }
  EXPECT_THROW(player->Play(), EMCIDeviceError);
  EXPECT_THROW(player->Length(), EMCIDeviceError);

  player->FileName = (path.parent_path() / L"skyloom-no-such-video.avi").wstring();
  try {
    player->Open();
    ADD_FAILURE() << "opening a missing file raised nothing";
  } catch (const EMCIDeviceError& error) {
    ASSERT_NE(player->Error(), 0u);
    wchar_t text[4096] = {};
    ASSERT_TRUE(mciGetErrorStringW(player->Error(), text, 4096));
    std::string expected;
    for (const wchar_t* c = text; *c; ++c) expected.push_back(static_cast<char>(*c));
    EXPECT_EQ(error.what(), expected);
  }
  EXPECT_FALSE(player->IsOpen());

  FakeMci fake;
  fake.openResult = 0x7FFF;  // a code the interface has no text for
  player->SetDriver(fake);
  try {
    player->Open();
    ADD_FAILURE() << "a failing open raised nothing";
  } catch (const EMCIDeviceError& error) {
    EXPECT_STREQ(error.what(), "Unknown error code");
  }
  EXPECT_EQ(player->Error(), 0x7FFFu);
}

class ScriptedDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    player.FileName = L"clip.avi";
    player.Open();
    fake.calls.clear();
  }
  DWORD_PTR LastFlags(UINT command) const { return fake.Of(command).back().flags; }

  FakeMci fake;
  TMediaPlayer2 player{nullptr, 0, 0, fake};
};

TEST_F(ScriptedDevice, NotifyIsOneShotWaitingCommandsAskOnlyWhenArmedPlaysAskByDefault) {
  player.SetNotify(true);
  player.SetNotify(true);
  player.Stop();
  EXPECT_EQ(LastFlags(MCI_STOP), static_cast<DWORD_PTR>(MCI_WAIT | MCI_NOTIFY));
  player.Stop();
  EXPECT_EQ(LastFlags(MCI_STOP), static_cast<DWORD_PTR>(MCI_WAIT));
  player.Play();
  EXPECT_EQ(LastFlags(MCI_PLAY), static_cast<DWORD_PTR>(MCI_NOTIFY));
  player.SetNotify(false);
  player.Play();
  EXPECT_EQ(LastFlags(MCI_PLAY), 0u);
  player.Play();
  EXPECT_EQ(LastFlags(MCI_PLAY), static_cast<DWORD_PTR>(MCI_NOTIFY));
  player.SetNotify(false);
  player.Stop();  // an unarmed false adds nothing either
  EXPECT_EQ(LastFlags(MCI_STOP), static_cast<DWORD_PTR>(MCI_WAIT));

  // Reopening: the close takes the request, the open goes without.
  fake.calls.clear();
  player.SetNotify(true);
  player.Open();
  ASSERT_EQ(fake.calls.front().command, static_cast<UINT>(MCI_CLOSE));
  EXPECT_EQ(fake.calls.front().flags, static_cast<DWORD_PTR>(MCI_WAIT | MCI_NOTIFY));
  EXPECT_EQ(LastFlags(MCI_OPEN), static_cast<DWORD_PTR>(MCI_WAIT | MCI_OPEN_ELEMENT));
}

// Muting reaches the open device at once and every file opened after.
TEST_F(ScriptedDevice, MuteTurnsTheSoundOffNowAndForTheFilesOpenedLater) {
  player.SetMuted(true);
  ASSERT_EQ(fake.Of(MCI_SETAUDIO).size(), 1u);
  EXPECT_EQ(LastFlags(MCI_SETAUDIO), static_cast<DWORD_PTR>(MCI_SET_OFF | MCI_WAIT));
  player.Open();
  ASSERT_EQ(fake.Of(MCI_SETAUDIO).size(), 2u);
  EXPECT_EQ(fake.Of(MCI_SETAUDIO).back().device, player.DeviceID());
  player.SetMuted(false);
  EXPECT_EQ(LastFlags(MCI_SETAUDIO), static_cast<DWORD_PTR>(MCI_SET_ON | MCI_WAIT));
  player.Open();
  EXPECT_EQ(fake.Of(MCI_SETAUDIO).size(), 3u) << "sound on is the device's own default";
}

TEST_F(ScriptedDevice, PlayAtTheEndRewindsFirstAndModesMapFromTheirCodes) {
  fake.position = fake.length;
  player.Play();
  ASSERT_EQ(fake.Of(MCI_SEEK).size(), 1u);
  EXPECT_EQ(LastFlags(MCI_SEEK), static_cast<DWORD_PTR>(MCI_SEEK_TO_START | MCI_WAIT));
  EXPECT_EQ(fake.calls.back().command, static_cast<UINT>(MCI_PLAY));

  fake.mode = MCI_MODE_NOT_READY;
  EXPECT_EQ(player.Mode(), TMPDeviceMode::mpNotReady);
  fake.mode = MCI_MODE_OPEN;
  EXPECT_EQ(player.Mode(), TMPDeviceMode::mpOpen);
  fake.mode = MCI_MODE_OPEN + 1;
  EXPECT_EQ(static_cast<int>(player.Mode()), 7);
}

TEST_F(ScriptedDevice, DisplayIsSentOnlyForPositiveHandlesAndDropsARefusedOne) {
  player.SetDisplay(nullptr);
  player.SetDisplay(reinterpret_cast<HWND>(static_cast<LONG_PTR>(-5)));
  EXPECT_TRUE(fake.Of(MCI_WINDOW).empty());
  EXPECT_EQ(player.Display(), reinterpret_cast<HWND>(static_cast<LONG_PTR>(-5)));

  const auto window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x1234));
  player.SetDisplay(window);
  ASSERT_EQ(fake.Of(MCI_WINDOW).size(), 1u);
  EXPECT_EQ(fake.Of(MCI_WINDOW)[0].window, window);
  EXPECT_EQ(fake.Of(MCI_WINDOW)[0].flags, static_cast<DWORD_PTR>(0x10002));
  EXPECT_EQ(player.Display(), window);
  fake.windowResult = MCIERR_INVALID_DEVICE_ID;
  player.SetDisplay(window);
  EXPECT_EQ(player.Display(), nullptr);

  player.SetDisplayRect(RECT{3, 4, 0, 0});  // the default size from the open's query
  const MciCall put = fake.Of(MCI_PUT).back();
  EXPECT_EQ(put.flags, static_cast<DWORD_PTR>(0x50000));
  EXPECT_EQ(put.rect.left, 3);
  EXPECT_EQ(put.rect.top, 4);
  EXPECT_EQ(put.rect.right, 160);
  EXPECT_EQ(put.rect.bottom, 120);
}

TEST_F(ScriptedDevice, ARefusedCloseIsTriedAgainByTheNextOpenAndClose) {
  ASSERT_EQ(player.DeviceID(), 7u);
  fake.closeResults = {MCIERR_DEVICE_LOCKED, 0, MCIERR_DEVICE_LOCKED};
  player.Open();  // 7 refuses; 8 opens all the same
  EXPECT_EQ(player.DeviceID(), 8u);
  player.Open();  // 8 closes; 7 refuses again
  EXPECT_EQ(player.DeviceID(), 9u);
  player.Close();
  EXPECT_FALSE(player.IsOpen());
  EXPECT_EQ(fake.Closed(), (std::vector<MCIDEVICEID>{7, 8, 7, 9, 7}));
  player.Close();  // nothing left
  EXPECT_EQ(fake.Of(MCI_CLOSE).size(), 5u);
}

TEST_F(ScriptedDevice, TheDestructorClosesARefusedDeviceToo) {
  auto other = std::make_unique<TMediaPlayer2>(nullptr, 0, 0, fake);
  other->Open();
  fake.closeResults = {MCIERR_DEVICE_LOCKED};
  other->Open();
  fake.calls.clear();
  other.reset();
  EXPECT_EQ(fake.Closed(), (std::vector<MCIDEVICEID>{9, 8}));
}

}  // namespace
}  // namespace skyloom
