#pragma once
// The standard controls the windows use.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/window.h"

namespace skyloom {

class TLabel : public TControl {
 public:
  TLabel(HWND parent, const std::wstring& caption, int left, int top, int width, int height);
};

class TGroupBox : public TControl {
 public:
  TGroupBox(HWND parent, const std::wstring& caption, int left, int top, int width, int height);
};

class TButton : public TControl {
 public:
  TButton(HWND parent, const std::wstring& caption, int left, int top, int width, int height);
  TNotifyEvent OnClick;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TCheckBox : public TControl {
 public:
  TCheckBox(HWND parent, const std::wstring& caption, int left, int top, int width, int height);
  bool Checked() const;
  void SetChecked(bool checked);
  TNotifyEvent OnClick;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// An edit with up/down arrows holding an integer in MinValue..MaxValue. A
// typed value outside the range is brought into range when the edit loses
// the focus; a text that is not an integer reads as MinValue.
class TSpinEdit : public TControl {
 public:
  TSpinEdit(HWND parent, int left, int top, int width, int height, int minValue, int maxValue, int value);
  ~TSpinEdit() override;
  int Value() const;
  void SetValue(int value);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetEnabledBoth(bool enabled);
  // Moves the edit and the arrows beside it.
  void Place(int left, int top, int width, int height);
  TNotifyEvent OnChange;  // the text changed, typed, by the arrows or from code
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  int min_, max_;
  HWND updown_ = nullptr;
};

class TComboBox : public TControl {
 public:
  TComboBox(HWND parent, int left, int top, int width, int height, const std::vector<std::wstring>& items);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const;
  std::wstring Text() const;
  TNotifyEvent OnChange;
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class TProgressBar : public TControl {
 public:
  TProgressBar(HWND parent, int left, int top, int width, int height);
  int Position() const;
  void SetPosition(int position);
};

class TStatusBar : public TControl {
 public:
  TStatusBar(HWND parent, int height);
  void SetText(const std::wstring& text);
  std::wstring Text() const;
  // Along the parent's bottom edge, across its width; the parent calls it
  // when it is resized.
  void AlignToBottom();
  void SetHeight(int height);
  int Height() const { return height_; }

 private:
  int height_ = 0;
};

// A flat toolbar of picture buttons with hints (tooltips). Each button runs
// its handler; AddButton answers the button's command id.
class TToolBar : public TControl {
 public:
  // images: the button pictures (not owned), each imageSize square;
  // buttons are buttonWidth x buttonHeight.
  TToolBar(HWND parent, int left, int top, int width, int height, HIMAGELIST images, int imageSize,
           int buttonWidth, int buttonHeight);
  ~TToolBar() override;
  void SetImages(HIMAGELIST images, int imageSize, int buttonWidth, int buttonHeight);
  // Reached by Tab: the arrows then move among the buttons, Enter presses.
  void TabbedInto() override;
  int AddButton(int imageIndex, const std::wstring& hint, TNotifyEvent handler);
  void AddSeparator();
  void SetButtonEnabled(int commandId, bool enabled);
  bool ButtonEnabled(int commandId) const;
  std::wstring Hint(int commandId) const;
  std::vector<int> ButtonIds() const;
  // Runs the button's handler as a click would (also used by tests).
  void Click(int commandId);
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static LRESULT CALLBACK LoseFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);
  struct Button {
    std::wstring hint;
    TNotifyEvent handler;
  };
  std::map<int, Button> buttons_;
  std::vector<int> order_;
  int nextCommand_ = 1;
};

// Tabs over pages; each page is a panel that holds its controls.
class TPageControl : public TControl {
 public:
  TPageControl(HWND parent, int left, int top, int width, int height);
  TPanel& AddPage(const std::wstring& caption);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  std::wstring PageCaption(int index) const;
  // Moves the control; the pages fill its display area.
  void Place(int left, int top, int width, int height);
  TNotifyEvent OnChange;  // a page was shown
  bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  RECT PageRect() const;
  std::vector<std::unique_ptr<TPanel>> pages_;
};

}  // namespace skyloom
