// Video wallpaper that played when the program ended plays again at the
// next start: the same video, with the list going on after it as before.
#include <gtest/gtest.h>

#include "fake_mci.h"
#include "state/state_file.h"
#include "state/state_store.h"
#include "tests/win/form_fixture.h"

namespace skyloom {
namespace {

using testing::FakeMci;

struct VideoResumeTest : testing::FormTest {
  void SetUp() override {
    FormTest::SetUp();
    form->MediaPlayer21->SetDriver(before);
  }
  void Notice(FakeMci& fake, TMainForm& window, DWORD mode) {
    fake.mode = mode;
    fake.position = fake.length;
    SendMessageW(window.MediaPlayer21->Handle(), MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
  }
  FakeMci before, after;
};

TEST_F(VideoResumeTest, TheVideoThatPlayedPlaysAgainAndTheListGoesOnAfterIt) {
  std::vector<std::wstring> files;
  for (const wchar_t* name : {L"a.avi", L"b.avi", L"c.avi"}) {
    files.push_back(WriteFile(name, "RIFF"));
    form->VideoCheck->SetChecked(form->VideoCheck->Add(files.back()), true);
  }
  form->ToolButton24Click(nullptr);
  Notice(before, *form, MCI_MODE_STOP);  // the first row again, then
  Notice(before, *form, MCI_MODE_STOP);  // the second
  ASSERT_EQ(before.Opened().back(), files[1]);
  TAppState state;
  form->CollectState(state);
  EXPECT_TRUE(state.videoPlaying);
  TStateStore(dir.wstring() + L"\\").Save(WriteStateText(state));
  form->StopVideoForExit();

  TMainForm restarted;
  restarted.MediaPlayer21->SetDriver(after);
  restarted.StartRemembering(std::make_unique<TStateStore>(dir.wstring() + L"\\"), true);
  EXPECT_EQ(after.Opened(), std::vector<std::wstring>{files[1]});
  EXPECT_EQ(after.Of(MCI_PLAY).size(), 1u);
  EXPECT_TRUE(restarted.VideoRunning());
  EXPECT_FALSE(restarted.Visible()) << "video wallpaper runs with the window hidden";
  Notice(after, restarted, MCI_MODE_STOP);
  EXPECT_EQ(after.Opened().back(), files[2]);
  restarted.StopVideoForExit();
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skyloom
