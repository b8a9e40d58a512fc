#pragma once
// Windows and controls. A TWindow owns its HWND; messages reach the virtual
// WindowProc, and an exception escaping a handler goes to the application's
// error box, after which the program goes on. Controls are standard child
// windows; the notifications they send their parent (WM_COMMAND, WM_NOTIFY,
// owner drawing, colours) are reflected back to the control object.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/handles.h"

namespace skyloom {

using TNotifyEvent = std::function<void(void* sender)>;

// Pixels for a size stated at 96 pixels per inch, at the given DPI.
int ScaleForDpi(int size, UINT dpi);
// The DPI the window is shown at: its monitor's where the system tells
// (Windows 10 and later), else the system's.
UINT WindowDpi(HWND window);

class TWindow {
 public:
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return handle_.get(); }
  void Show();
  void Hide();
  bool Visible() const;
  void SetBounds(int left, int top, int width, int height);
  RECT ClientRect() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  std::wstring Caption() const;
  void SetCaption(const std::wstring& text);
  void SetFont(HFONT font);

 protected:
  TWindow() = default;
  // Creates a window of a class registered with this module's window
  // procedure (RegisterOwnClass) and binds it to this object.
  void CreateOwnWindow(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle,
                       int left, int top, int width, int height, HWND parent);
  // Adopts a window of a system class (a control) created by the caller.
  void Adopt(HWND handle);
  // classStyle: CS_ flags of the class (CS_DBLCLKS for double clicks).
  static void RegisterOwnClass(const wchar_t* className, HBRUSH background, UINT classStyle = 0);

  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Hands the child notifications to the control objects.
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UniqueWindow handle_;
  bool ownClass_ = false;
};

// A child control of a system class.
class TControl : public TWindow {
 public:
  int Id() const { return id_; }
  // Called for the notifications the parent reflects; answers whether handled.
  virtual bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Called when the form's keyboard order has given the control the focus.
  virtual void TabbedInto() {}
  static TControl* FromHandle(HWND handle);

 protected:
  // Creates the control of a system class as a child of parent.
  void CreateControl(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle,
                     HWND parent, int left, int top, int width, int height);

 private:
  int id_ = 0;
};

// A plain container (panels, tab pages, the form's client) that reflects its
// children's notifications.
class TPanel : public TWindow {
 public:
  // With a colour, the panel and its static texts are painted in it;
  // otherwise in the button face.
  TPanel(HWND parent, int left, int top, int width, int height, COLORREF color = CLR_INVALID);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  COLORREF color_;
  UniqueGdiObject brush_;
};

// A top-level window. Sizes are stated at 96 pixels per inch and laid out
// at the window's DPI; a DPI change remakes the font and resizes the window
// (a fixed-size form to its stated client size, a sizable one in proportion).
class TForm : public TWindow {
 public:
  TForm(const wchar_t* className, const std::wstring& caption, DWORD style, DWORD exStyle, int clientWidth,
        int clientHeight);
  ~TForm() override;
  void CenterOnScreen();
  HFONT Font() const { return static_cast<HFONT>(font_.get()); }
  UINT Dpi() const { return dpi_; }
  int Scaled(int size) const { return ScaleForDpi(size, dpi_); }

  // The form of a top-level window of this program, or none.
  static TForm* FromHandle(HWND window);
  // The message loop's dialog-key step for a message to this form or its
  // controls; answers whether it was used. Tab and Shift+Tab move along
  // TabOrder (when set), the rest are the system's dialog keys.
  virtual bool DialogKey(MSG& msg);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // After the DPI changed and the font was remade, before the new size.
  virtual void DpiChanged() {}
  // The controls Tab visits, in order; hidden and disabled ones are passed.
  std::vector<HWND> TabOrder;

 private:
  void MoveFocus(int step);
  void ChangeDpi(UINT dpi);
  void SetClientSize(int width, int height);

  UINT dpi_ = 96;
  SIZE statedClient_{};
  UniqueGdiObject font_;
};

// The MS Sans Serif-style dialog font at the given point size, for the
// given DPI (0: the screen's).
HFONT CreateUiFont(int pointSize, const wchar_t* face = L"MS Sans Serif", bool bold = false, UINT dpi = 0);

}  // namespace skyloom
