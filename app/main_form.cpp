#include "app/main_form.h"

#include "toolkit/application.h"
#include "toolkit/errors.h"
#include "toolkit/random.h"

namespace skyloom {
namespace {

constexpr int kClientWidth = 630;
constexpr int kClientHeight = 521;
constexpr int kStatusHeight = 19;
constexpr int kToolBarHeight = 40;
constexpr int kPanelWidth = 260;
constexpr int kListWidth = 362;
constexpr int kItemHeight = 13;
constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);

// A tool window with minimise and maximise boxes. It keeps its system menu
// (and so a close box) until the notification-area icon exists to bring a
// hidden window back and to leave the program.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                             WS_CLIPCHILDREN;

std::wstring DirectoryOfExecutable() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// Binds a handler method to a notify event.
template <typename Form>
TNotifyEvent Bind(Form* form, void (Form::*handler)(void*)) {
  return [form, handler](void* sender) { (form->*handler)(sender); };
}

}  // namespace

TMainForm::TMainForm() : TForm(kClassName, L"Skyloom", kFormStyle, WS_EX_TOOLWINDOW, kClientWidth, kClientHeight) {
  StatusBar1 = std::make_unique<TStatusBar>(Handle(), kStatusHeight);
  PageControl1 = std::make_unique<TPageControl>(Handle(), 0, 0, kClientWidth, kClientHeight - kStatusHeight);
  CreateImagePage(PageControl1->AddPage(L"Image Wallpaper"));
  CreateVideoPage(PageControl1->AddPage(L"Video Wallpaper"));
  PageControl1->SetActivePageIndex(0);
  CreateComponents();
  CenterOnScreen();
  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::CreateComponents() {
  ImageIO1.AttachedBitmap(&WallpaperRaster);
  ImageIO1.SetBackground(GetSysColor(COLOR_BTNFACE));
  ImageIO1.OnProgress = [this](void* sender, int percent) { ImageIO1Progress(sender, percent); };
  ImageProc.AttachedBitmap(&WallpaperRaster);
  ImageProc.OnProgress = [this](void* sender, int percent) { ImageProcProgress(sender, percent); };
  DesktopTheme = std::make_unique<TDesktopTheme>();
  // The prepared bitmap is already fitted to the desktop: shown centred on
  // the sampled colour, whatever style the system held before.
  DesktopTheme->Desktop.WallpaperStyle = wlpsCenter;

  Timer1 = std::make_unique<TThreadTimer>(
      [](const std::function<void()>& call) { TApplication::Instance().Synchronize(call); },
      [] { TApplication::Instance().AnswerSynchronizeCalls(); });
  Timer1->SetDelay(300000);
  Timer1->SetOnTimer(Bind(this, &TMainForm::Timer1Timer));
  Timer1->OnError = [] { TApplication::Instance().HandleCurrentException(); };
}

void TMainForm::CreateImagePage(TPanel& page) {
  const RECT area = page.ClientRect();
  const int width = area.right, height = area.bottom;
  HWND parent = page.Handle();

  ToolBar1 = std::make_unique<TToolBar>(parent, 0, 0, width, kToolBarHeight);
  auto& bar = *ToolBar1;
  bar.AddSeparator();
  bar.AddButton(L"Add", L"Add Files to List", Bind(this, &TMainForm::ToolButton1Click));
  bar.AddButton(L"Delete", L"Trash all List", Bind(this, &TMainForm::DeleteImage1Click));
  bar.AddSeparator();
  bar.AddButton(L"Check", L"Check all Files", Bind(this, &TMainForm::ToolButton4Click));
  bar.AddButton(L"Uncheck", L"Uncheck All Files", Bind(this, &TMainForm::ToolButton7Click));
  bar.AddSeparator();
  bar.AddButton(L"Prev", L"Previous Image in list", Bind(this, &TMainForm::PrevImage1Click));
  StartButton = bar.AddButton(L"Start", L"Start Skyloom", Bind(this, &TMainForm::ToolButton11Click));
  bar.AddButton(L"Next", L"Next Image In List", Bind(this, &TMainForm::NextImage1Click));
  StopButton = bar.AddButton(L"Stop", L"Stop Skyloom", Bind(this, &TMainForm::ToolButton3Click));
  bar.AddSeparator();
  bar.AddButton(L"Open", L"Open Gallery File", Bind(this, &TMainForm::LoadGallery1Click));
  bar.AddButton(L"Save", L"Save Gallery File", Bind(this, &TMainForm::SaveGallery1Click));
  bar.AddSeparator();
  bar.AddButton(L"Hide", L"Hide Skyloom", Bind(this, &TMainForm::ToolButton15Click));
  bar.SetButtonEnabled(StopButton, false);

  const int below = height - kToolBarHeight;
  Panel2 = std::make_unique<TPanel>(parent, 0, kToolBarHeight, kPanelWidth, below);
  HWND panel = Panel2->Handle();
  GroupBox3 = std::make_unique<TGroupBox>(panel, L"Interval Timer", 0, 0, kPanelWidth, 80);
  MinutesLabel = std::make_unique<TLabel>(panel, L"Minutes", 14, 22, 80, 14);
  timeredit = std::make_unique<TSpinEdit>(panel, 14, 40, 80, 21, 1, 2000, 5);
  randomcheck = std::make_unique<TCheckBox>(panel, L"Random Image", 120, 42, 120, 17);

  GroupBox4 = std::make_unique<TGroupBox>(panel, L"Wallpaper Snapshot", 0, 80, kPanelWidth, 250);
  ImageView1 = std::make_unique<TLabel>(panel, L"", 15, 98, 229, 181);
  SetWindowLongPtrW(ImageView1->Handle(), GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_BLACKFRAME);
  ProgressBar = std::make_unique<TProgressBar>(panel, 15, 283, 229, 7);
  ResizeBox = std::make_unique<TComboBox>(
      panel, 15, 296, 229, 200,
      std::vector<std::wstring>{L"None", L"Triangle", L"Hermite", L"Bell", L"BSpline", L"Lanczos3", L"Mitchell"});

  InfoPanel1 = std::make_unique<TPanel>(panel, 0, below - 103, kPanelWidth, 103, RGB(255, 255, 255));
  SetWindowLongPtrW(InfoPanel1->Handle(), GWL_EXSTYLE, WS_EX_STATICEDGE);
  InfoLabel = std::make_unique<TLabel>(InfoPanel1->Handle(), L"Skyloom\r\nQuillbright\r\n\r\nFor this software and more...",
                                       0, 8, kPanelWidth - 4, 90);
  SetWindowLongPtrW(InfoLabel->Handle(), GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_CENTER);

  ImageListBox = std::make_unique<TCheckListBox>(parent, width - kListWidth, kToolBarHeight, kListWidth, below,
                                                 kItemHeight, kSilver);
  ImageListBox->OnClick = Bind(this, &TMainForm::ImageListBoxClick);
  ImageListBox->OnDblClick = Bind(this, &TMainForm::ImageListBoxDblClick);
  ImageListBox->PopupMenu.Add(L"&Delete Image", Bind(this, &TMainForm::DeleteImage1Click));
}

void TMainForm::CreateVideoPage(TPanel& page) {
  const RECT area = page.ClientRect();
  HWND parent = page.Handle();
  ToolBar2 = std::make_unique<TToolBar>(parent, 0, 0, area.right, kToolBarHeight);
  auto& bar = *ToolBar2;
  bar.AddSeparator();
  bar.AddButton(L"Add", L"Add Files to List", Bind(this, &TMainForm::ToolButton18Click));
  bar.AddButton(L"Delete", L"Trash all List", Bind(this, &TMainForm::ToolButton19Click));
  bar.AddSeparator();
  bar.AddButton(L"Check", L"Check all Files", Bind(this, &TMainForm::ToolButton21Click));
  bar.AddButton(L"Uncheck", L"Uncheck All Files", Bind(this, &TMainForm::ToolButton22Click));
  bar.AddSeparator();
  bar.AddButton(L"Play", L"Start Video Wallpaper", Bind(this, &TMainForm::ToolButton24Click));
  const int stop = bar.AddButton(L"Stop", L"Stop Video WallPaper", Bind(this, &TMainForm::ToolButton25Click));
  bar.AddSeparator();
  bar.AddButton(L"Open", L"Open Video Gallery File", Bind(this, &TMainForm::ToolButton29Click));
  bar.AddButton(L"Save", L"Save Video Gallery File", Bind(this, &TMainForm::ToolButton30Click));
  bar.AddSeparator();
  bar.AddButton(L"Hide", L"Hide Skyloom", Bind(this, &TMainForm::ToolButton15Click));
  bar.SetButtonEnabled(stop, false);

  VideoCheck = std::make_unique<TCheckListBox>(parent, 0, kToolBarHeight, area.right, area.bottom - kToolBarHeight,
                                               kItemHeight, kSilver);
  VideoCheck->PopupMenu.Add(L"&Delete Video", Bind(this, &TMainForm::DeleteImage2Click));
}

void TMainForm::FormCreate() {
  appDir_ = DirectoryOfExecutable();
  rotation_.cursor = ImageListBox->TopIndex();
  VideoCursor = 0;
  ResizeBox->SetItemIndex(3);  // "Bell"
  AppRandom().Randomize();
  Timer1->SetActive(false);
  Timer1->SetDelay(timeredit->Value() * 60000);
}

void TMainForm::FormDestroy() {
  if (Timer1) Timer1->SetActive(false);
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return TRUE;
    case WM_APP: {
      // A handed-over command line, run after the sender has been released.
      if (pendingCommandLines_.empty()) return 0;
      auto arguments = std::move(pendingCommandLines_.front());
      pendingCommandLines_.erase(pendingCommandLines_.begin());
      RunCommandLine(arguments);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return TForm::WindowProc(message, wParam, lParam);
  }
}

}  // namespace skyloom
