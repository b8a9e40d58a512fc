// The main window from the keyboard alone: real key presses through the
// program's message loop.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "form_fixture.h"

namespace skyloom {
namespace {

class KeyboardTest : public testing::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Show();
    SetForegroundWindow(form->Handle());
    SetFocus(form->PageControl1->Handle());
    Pump();
  }

  // Presses the keys together (a modifier first), then lets them go.
  void Press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(Key(key, 0));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(Key(*key, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump();
  }

  // The focus after each press of the keys.
  std::vector<HWND> FocusAfter(std::initializer_list<WORD> keys, int presses) {
    std::vector<HWND> focus;
    for (int i = 0; i < presses; ++i) {
      Press(keys);
      focus.push_back(GetFocus());
    }
    return focus;
  }

 private:
  static INPUT Key(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
  }
  static void Pump() {
    for (int i = 0; i < 5; ++i) {
      Sleep(10);
      testing::TestApplication().ProcessMessages();
    }
  }
};

TEST_F(KeyboardTest, TabVisitsThePageShownAndCtrlTabTurnsThePages) {
  TMainForm& f = *form;
  const HWND tabs = f.PageControl1->Handle();
  EXPECT_EQ(FocusAfter({VK_TAB}, 8),
            (std::vector<HWND>{f.ToolBar1->Handle(), f.timeredit->Handle(), f.randomcheck->Handle(),
                               f.PerScreenCheck->Handle(), f.ResizeBox->Handle(), f.FitBox->Handle(),
                               f.ImageListBox->Handle(), tabs}));
  EXPECT_EQ(FocusAfter({VK_SHIFT, VK_TAB}, 2), (std::vector<HWND>{f.ImageListBox->Handle(), f.FitBox->Handle()}));

  Press({VK_CONTROL, VK_TAB});
  EXPECT_EQ(f.PageControl1->ActivePageIndex(), 1);
  EXPECT_EQ(GetFocus(), tabs);
  EXPECT_EQ(FocusAfter({VK_TAB}, 3), (std::vector<HWND>{f.ToolBar2->Handle(), f.VideoCheck->Handle(), tabs}));
  Press({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(f.PageControl1->ActivePageIndex(), 0);

  f.ToolButton11Click(nullptr);  // the timer runs: the minutes box is closed
  EXPECT_EQ(FocusAfter({VK_TAB}, 2), (std::vector<HWND>{f.ToolBar1->Handle(), f.randomcheck->Handle()}));
  f.ToolButton3Click(nullptr);
}

TEST_F(KeyboardTest, EnterAppliesDeleteRemovesAndSpaceChecksTheSelectedEntry) {
  for (auto name : {L"a", L"b", L"c"}) form->AddCheckedImage(name);
  form->ImageListBox->SetItemIndex(1);
  SetFocus(form->ImageListBox->Handle());

  Press({VK_RETURN});
  EXPECT_EQ(form->CurrentImageFile(), "b");
  Press({VK_SPACE});
  EXPECT_EQ(Checks(*form->ImageListBox), (std::vector<bool>{true, false, true}));
  Press({VK_DELETE});
  EXPECT_EQ(form->ImageListBox->Items(), (std::vector<std::wstring>{L"a", L"c"}));
  EXPECT_EQ(GetFocus(), form->ImageListBox->Handle());

  form->ImageListBox->SetItemIndex(-1);
  Press({VK_DELETE});  // nothing selected: nothing deleted
  EXPECT_EQ(form->ImageListBox->Count(), 2);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skyloom
