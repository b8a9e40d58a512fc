#pragma once
// A real main window in this process, with the error box and the file
// dialogs replaced by recorders so that nothing modal blocks the tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/thumb_form.h"
#include "toolkit/application.h"

namespace skyloom::testing {

inline TApplication& TestApplication() {
  static TApplication application;
  return application;
}

struct DialogCall {
  TFileDialog::Kind kind;
  std::wstring filter, defaultExt;
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& app = TestApplication();
    app.ErrorReporter = [this](const std::wstring& text) { errors.push_back(text); };
    app.FileDialogRunner = [this](const TFileDialog& dialog) -> std::optional<std::wstring> {
      dialogs.push_back({dialog.DialogKind(), dialog.Filter(), dialog.DefaultExt()});
      if (answers.empty()) return std::nullopt;
      auto answer = answers.front();
      answers.pop_front();
      return answer;
    };
    form = std::make_unique<TMainForm>();
    thumbForm = std::make_unique<Tthumbform>(*form);  // hidden, as at start-up
    form->ThumbForm = thumbForm.get();
    app.SetMainWindow(form->Handle());
    // A folder of its own for each test: one a test could not remove (a
    // file still open under Wine) never leaks into the next.
    static int serial = 0;
    dir = std::filesystem::temp_directory_path() /
          (L"skyloom-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    thumbForm.reset();
    form.reset();
    auto& app = TestApplication();
    app.ErrorReporter = nullptr;
    app.FileDialogRunner = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  // Clicks a toolbar button the way the toolbar does: WM_COMMAND to its
  // parent, so a failing handler goes through the window's error path.
  void ClickButton(TToolBar& bar, const std::wstring& hint) {
    for (int id : bar.ButtonIds()) {
      if (bar.Hint(id) != hint) continue;
      SendMessageW(GetParent(bar.Handle()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(bar.Handle()));
      return;
    }
    ADD_FAILURE() << "no button with that hint";
  }

  std::wstring WriteFile(const wchar_t* name, const std::string& bytes) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.wstring();
  }
  static std::string ReadFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::vector<bool> Checks(const TCheckListBox& list) const {
    std::vector<bool> checks;
    for (int i = 0; i < list.Count(); ++i) checks.push_back(list.Checked(i));
    return checks;
  }

  std::unique_ptr<TMainForm> form;
  std::unique_ptr<Tthumbform> thumbForm;
  std::vector<std::wstring> errors;
  std::vector<DialogCall> dialogs;
  std::deque<std::wstring> answers;
  std::filesystem::path dir;
};

}  // namespace skyloom::testing
